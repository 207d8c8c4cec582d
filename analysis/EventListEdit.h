#pragma once

#include "analysis/EventList.h"
#include "analysis/EventMeasure.h"

namespace qm7 {

// True when count is 0 .. 100.
bool countValid(const EventList &list);

// One past the largest event index of the list (0 for none): the samples a call that is given
// no sample count may read.
int64_t readLimit(const EventList &list);

// The events around entry k that bound its fits; past the last event lies the end of the
// readable range.
Neighbours neighboursOf(const EventList &list, int k, const Context &context);

// Adds an event at sample `index` in distance order and measures it and its neighbours.
// Returns false, list untouched, when the list is full or an event already sits there.
bool insertEvent(EventList &list, int64_t index, const Context &context);

// Removes entry `entry` (entry 0, the start event, is never removed) and re-measures the
// events on either side. Returns false, list untouched, when there is no such entry.
bool removeEvent(EventList &list, int entry, const Context &context);

// Cumulative loss of every event by the rule of analysis/LinkLoss.h: fibre loss of the sections
// up to it (attenuation times section length) plus the link losses of the events up to it. A
// section whose attenuation is 0 is measured from the samples when `context` provides them.
void accumulateTotals(EventList &list, double spacingM, const Context *context);

} // namespace qm7
