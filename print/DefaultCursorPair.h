#pragma once

#include "trace/TraceData.h"

// Two cursors of a printed trace. The levels are in dB (TraceMapping::levelDb); only their
// difference is read. The view gives the levels at the cursors; a pair made without the view
// puts A at 0 and B at the loss between the two.
struct CursorPair {
    float aDistance = 0.0f; // m
    float aLevel = 0.0f;    // dB
    float bDistance = 0.0f; // m
    float bLevel = 0.0f;    // dB
};

// The trace's own cursors when both are set (levels read off the samples), else from the user
// offset or the first event to the end event (the first E event before the last, else the last
// event), with A at level 0 and B at the cumulative loss there. All zero for a trace with
// neither cursors nor events.
CursorPair defaultCursorPair(const TraceData &trace);

// The trace view's cursor distances on `trace`: each level read off the trace's samples as the
// view reads the current curve (the sample after the distance). A cursor before the trace's
// start or past its last sample gives the trace's default pair, as a batch print does.
CursorPair cursorPairOn(const TraceData &trace, float aDistance, float bDistance);
