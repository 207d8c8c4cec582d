#include "print/DefaultCursorPair.h"

#include "trace/TraceMapping.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// Level in dB at distance x: the sample index trunc((x - 1 mm) / spacing), clamped to the
// samples there are.
float levelAt(const TraceData &trace, float x)
{
    const std::size_t n = std::min<std::size_t>(trace.sampleCount, trace.samples.size());
    if (trace.sampleSpacing == 0.0f || n == 0)
        return 0.0f;
    const double position = std::trunc((double(x) - 0.001) / trace.sampleSpacing);
    std::size_t index = 0;
    if (position >= double(n))
        index = n - 1;
    else if (position > 0.0)
        index = std::size_t(position);
    return static_cast<float>(TraceMapping::levelDb(trace.samples[index]));
}

} // namespace

CursorPair defaultCursorPair(const TraceData &trace)
{
    CursorPair pair;
    if (trace.cursorA != 0.0f && trace.cursorB != 0.0f) {
        pair.aDistance = trace.cursorA;
        pair.bDistance = trace.cursorB;
        pair.bLevel = std::fabs(levelAt(trace, trace.cursorA) - levelAt(trace, trace.cursorB));
        return pair;
    }
    if (trace.events.empty())
        return pair;

    float offset = trace.userOffset;
    if (offset < 0.0f || offset > 10000.0f)
        offset = 0.0f;
    pair.aDistance = offset > 0.0f ? offset : trace.events.front().distance;

    const TraceEvent *end = &trace.events.back();
    for (std::size_t i = 0; i + 1 < trace.events.size(); ++i) {
        if (trace.events[i].codeLetter == 'E') {
            end = &trace.events[i];
            break;
        }
    }
    pair.bDistance = end->distance;
    pair.bLevel = end->totalLoss;
    return pair;
}
