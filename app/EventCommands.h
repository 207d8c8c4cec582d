#pragma once

#include "app/FileCommands.h"

struct Session;

// Adding and deleting events of the current trace through the event-analysis library.
// Both change nothing when their preconditions are not met.

// Where the trace view's cursor stands.
struct CursorAt {
    bool hasCurves = false; // the view shows at least one curve
    int activeCursor = 0;   // 1 cursor A, 2 cursor B, anything else both or none
    int sampleIndex = 0;    // sample under the active cursor
};

// Inserts an event at the active cursor (cursor A or B alone) into the current trace.
CommandResult AddEvent(Session &session, const CursorAt &cursor);

// Deletes the event of event-list row `row` (-1: none selected) from the current trace.
CommandResult DeleteEvent(Session &session, int row);
