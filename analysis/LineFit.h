#pragma once

#include <cstdint>

namespace qm7 {

// The samples a call may read: indices 0 .. count - 1, nothing beyond.
struct Samples {
    const uint16_t *raw = nullptr;
    int64_t count = 0;

    // Level in dB; levels fall along the fibre (a higher raw value is more loss).
    double level(int64_t i) const { return (65535.0 - raw[i]) / 1000.0; }
};

// A straight line through trace levels, x in samples.
struct Line {
    double slope = 0.0;     // dB per sample (negative along a lossy fibre)
    double intercept = 0.0; // dB at sample 0
    double rms = 0.0;       // dB, residual of the fit
    int64_t points = 0;     // samples the fit used

    double at(double x) const { return intercept + slope * x; }
};

// Least-squares line through the levels of samples first .. last - 1, clamped to the readable
// range. Fewer than two points give a line with `points` below 2 and slope 0. Without
// `withRms` the residual is not summed (rms 0), which makes long fits quicker.
Line fitLine(const Samples &samples, int64_t first, int64_t last, bool withRms = true);

// Mean level of first .. last - 1 (clamped) as a line of slope `slope`; points 0 when empty.
Line levelWithSlope(const Samples &samples, int64_t first, int64_t last, double slope);

} // namespace qm7
