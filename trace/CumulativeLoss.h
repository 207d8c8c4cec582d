#pragma once

#include "trace/TraceData.h"

// The fibre end of a trace by the cumulative-loss rule (analysis/LinkLoss.h): the first event
// with code letter E past the first 10 m, else the last event; -1 when the trace has no events.
int fibreEndIndex(const TraceData &trace);

// Whether the stored loss of event `i` is a loss of the link by the rule.
bool isLinkLoss(const TraceData &trace, int i);

// Whether the instrument's stored end-to-end loss describes the trace's fibre end as it now
// stands: one was stored (more than 0 dB) and the fibre end still sits where it sat on load.
bool storedEndToEndApplies(const TraceData &trace);

// Brings the cumulative losses formed by the rule in line with the instrument's end-to-end loss
// where it applies: the fibre end (and the events past it) take the stored figure, and no event
// before the end shows more than it. Without a stored figure the totals stay as formed.
void reconcileWithStoredLoss(TraceData &trace);
