#pragma once

#include "trace/TraceData.h"

#include <QRect>

#include <cstdint>
#include <vector>

// What the overview panel needs of the trace view: the visible window of the current curve.
struct OverviewWindow {
    bool valid = false;   // false when the view has no current curve
    float xMin = 0.0f;    // m
    float xMax = 0.0f;    // m
    float yMin = 0.0f;    // dB
    float yMax = 0.0f;    // dB
    float length = 0.0f;  // m, the current curve's length
};

// Two points per pixel column of a w x h panel: the minimum and maximum raw sample of the
// column's samples, in sample order, scaled so that 0 dB lies at the bottom and `rangeDb` at the
// top (50 dB when `rangeDb` is not above 0), the vertical scale of viewWindowRect. Empty for
// fewer than 100 samples or an empty panel.
std::vector<ScreenPoint> overviewPoints(const std::vector<uint16_t> &samples, uint32_t sampleCount, int width,
                                        int height, int rangeDb = 50);

// The part of the trace the view shows, in panel pixels (normalised; width right - left); empty when the window
// is not valid, the trace has fewer than 100 samples or the curve has no length.
// `verticalRangeDb` 0 spans the full height.
QRect viewWindowRect(const OverviewWindow &window, uint32_t sampleCount, int width, int height,
                     int verticalRangeDb);
