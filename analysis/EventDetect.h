#pragma once

#include "analysis/EventList.h"
#include "analysis/EventMeasure.h"

namespace qm7 {

struct Thresholds {
    double lossDb = 0.05;         // smallest loss reported
    double reflectanceDb = -65.0; // smallest reflectance reported
    double endDb = 3.0;           // smallest fall into the noise that ends the fibre
};

// Finds the events of a whole trace (context.samples is the trace) and fills `list`: a start
// event, the events found along the fibre and the fibre end, measured and with cumulative
// losses. `list` must come in empty.
void detectEvents(EventList &list, const Context &context, const Thresholds &thresholds);

} // namespace qm7
