#include "trace/CumulativeLoss.h"

#include "analysis/LinkLoss.h"

#include <algorithm>

int fibreEndIndex(const TraceData &trace)
{
    return linkloss::fibreEnd(
        static_cast<int>(trace.events.size()), [&trace](int i) { return trace.events[static_cast<size_t>(i)].codeLetter; },
        [&trace](int i) { return static_cast<double>(trace.events[static_cast<size_t>(i)].distance); });
}

bool isLinkLoss(const TraceData &trace, int i)
{
    const TraceEvent &e = trace.events[static_cast<size_t>(i)];
    return linkloss::isLinkLoss(i, fibreEndIndex(trace), e.distance, e.loss);
}

bool storedEndToEndApplies(const TraceData &trace)
{
    const int end = fibreEndIndex(trace);
    return trace.endToEndLossDb > 0.0f && end >= 0 &&
           trace.events[static_cast<size_t>(end)].index == trace.endToEndIndex;
}

void reconcileWithStoredLoss(TraceData &trace)
{
    if (!storedEndToEndApplies(trace))
        return;
    // The instrument measured the end-to-end loss on the trace itself (level at the start
    // against the level before the end), which catches losses no event was placed on; its
    // figure is the one it certified, so it decides at the end. A sum of the events before the
    // end that passes it is the events' error and is held at it.
    const size_t end = static_cast<size_t>(fibreEndIndex(trace));
    const float stored = trace.endToEndLossDb;
    for (size_t i = 0; i < trace.events.size(); ++i) {
        float &total = trace.events[i].totalLoss;
        total = i >= end ? stored : std::min(total, stored);
    }
}
