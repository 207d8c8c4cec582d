#pragma once

#include "trace/EventAnalysis.h"
#include "trace/TraceData.h"

#include <cstdint>

// Adding and deleting events through the event-analysis library. Both send a copy of the
// trace's eventList, store the returned list as the new eventList and rebuild `events` from it.
// An unbound entry stands in fallbackEventList, which leaves the trace without events.
// Both return false, with the trace unchanged, when the command is abandoned: the call threw,
// or the library returned a list whose count is outside 0 .. 100, or the trace holds more
// events than the library's list (editableByLibrary).

// The library's list holds 100 events: a trace with more is shown whole but not edited.
bool editableByLibrary(const TraceData &trace);

// Adds an event at `sampleIndex` (the active cursor's sample). Also false, doing nothing,
// when the trace has no events at all.
bool insertEventAt(TraceData &trace, int32_t sampleIndex, const EventAnalysisBinding &binding);

// Deletes the event shown in row `row` of the main event list (row 0 shows the event after the
// start event). Also false, doing nothing, when `row` is negative or above eventList.count, or
// when an event index lies beyond the samples (the library would read past them).
bool deleteEventRow(TraceData &trace, int row, const EventAnalysisBinding &binding);
