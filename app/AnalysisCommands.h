#pragma once

#include "app/AnalysisState.h"
#include "app/FileCommands.h"

struct Session;

// Keeps the current trace's events for a later Undo (before an analysis, an add or a delete).
void rememberEvents(Session &session);

// Analyze > Analyze trace: replaces the current trace's events with those the analysis finds
// with `settings`. The previous events can be taken back; Save writes the new ones.
CommandResult AnalyzeCurrentTrace(Session &session, const AnalysisSettings &settings);

// Edit > Undo: the current trace's events before its last analysis, add or delete. Nothing
// happens when there is nothing to take back for that trace.
CommandResult UndoEvents(Session &session);

// True when Undo has something to take back for the current trace.
bool canUndoEvents(const Session &session);
