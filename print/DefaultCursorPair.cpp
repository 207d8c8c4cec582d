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

// The level the trace view shows at distance x (dB): the sample trunc((x - 1 mm) / spacing) + 1,
// clamped to the samples there are.
float viewLevelAt(const TraceData &trace, float x, std::size_t n)
{
    double position = std::trunc((double(x) - 0.001) / trace.sampleSpacing);
    if (position >= double(n))
        position = double(n) - 1.0;
    position += 1.0;
    if (position > double(n) - 1.0)
        position = double(n) - 1.0;
    const std::size_t index = position > 0.0 ? std::size_t(position) : 0;
    return static_cast<float>(levelDb(trace.samples[index]));
}

} // namespace

CursorPair cursorPairOn(const TraceData &trace, float aDistance, float bDistance)
{
    const std::size_t n = std::min<std::size_t>(trace.sampleCount, trace.samples.size());
    const float length = static_cast<float>(n) * trace.sampleSpacing;
    const auto inside = [length](float d) { return std::isfinite(d) && d >= 0.0f && d <= length; };
    if (n == 0 || !(trace.sampleSpacing > 0.0f) || !inside(aDistance) || !inside(bDistance))
        return defaultCursorPair(trace);
    return {aDistance, viewLevelAt(trace, aDistance, n), bDistance, viewLevelAt(trace, bDistance, n)};
}

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
