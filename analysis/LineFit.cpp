#include "analysis/LineFit.h"

#include <algorithm>
#include <cmath>

namespace qm7 {

namespace {

struct RawSums {
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0, syy = 0;
};

// Sums over raw values with x counted from `first`. Integer accumulation inside chunks of
// 65536 samples keeps every partial sum exact and lets the compiler vectorise the loop.
template <bool withSquares>
RawSums rawSums(const uint16_t *raw, int64_t first, int64_t last)
{
    RawSums s;
    constexpr int64_t chunk = 65536;
    for (int64_t c0 = first; c0 < last; c0 += chunk) {
        const int64_t c1 = std::min(last, c0 + chunk);
        int64_t sy = 0, sxy = 0, syy = 0;
        const uint16_t *p = raw + c0;
        const int64_t m = c1 - c0;
        for (int64_t j = 0; j < m; ++j) {
            const int64_t y = p[j];
            sy += y;
            sxy += j * y;
            if constexpr (withSquares)
                syy += y * y;
        }
        const double off = static_cast<double>(c0 - first);
        s.sy += static_cast<double>(sy);
        s.sxy += static_cast<double>(sxy) + off * static_cast<double>(sy);
        s.syy += static_cast<double>(syy);
    }
    const double n = static_cast<double>(last - first);
    s.n = n;
    s.sx = n * (n - 1.0) / 2.0;
    s.sxx = (n - 1.0) * n * (2.0 * n - 1.0) / 6.0;
    return s;
}

} // namespace

Line fitLine(const Samples &samples, int64_t first, int64_t last, bool withRms)
{
    first = std::max<int64_t>(first, 0);
    last = std::min(last, samples.count);
    Line line;
    if (!samples.raw || last - first < 2) {
        if (samples.raw && last - first == 1) {
            line.intercept = samples.level(first);
            line.points = 1;
        }
        return line;
    }
    const RawSums s = withRms ? rawSums<true>(samples.raw, first, last) : rawSums<false>(samples.raw, first, last);
    const double cxx = s.sxx - s.sx * s.sx / s.n;
    const double cxy = s.sxy - s.sx * s.sy / s.n;
    const double cyy = s.syy - s.sy * s.sy / s.n;
    const double b = cxy / cxx; // raw units per sample
    const double a = (s.sy - b * s.sx) / s.n;
    const double residual = std::max(0.0, cyy - b * cxy);
    // raw -> dB: level = (65535 - raw) / 1000, so slope and offset change sign.
    line.slope = -b / 1000.0;
    line.intercept = (65535.0 - a) / 1000.0 - line.slope * static_cast<double>(first);
    line.rms = withRms ? std::sqrt(residual / s.n) / 1000.0 : 0.0;
    line.points = last - first;
    return line;
}

Line levelWithSlope(const Samples &samples, int64_t first, int64_t last, double slope)
{
    first = std::max<int64_t>(first, 0);
    last = std::min(last, samples.count);
    Line line;
    line.slope = slope;
    if (!samples.raw || last <= first)
        return line;
    double sum = 0.0;
    for (int64_t i = first; i < last; ++i)
        sum += samples.level(i);
    const double n = static_cast<double>(last - first);
    const double meanX = (static_cast<double>(first) + static_cast<double>(last - 1)) / 2.0;
    line.intercept = sum / n - slope * meanX;
    line.points = last - first;
    return line;
}

} // namespace qm7
