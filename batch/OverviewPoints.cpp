#include "batch/OverviewPoints.h"

#include "trace/TraceMapping.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr uint32_t minimumSamples = 100;

} // namespace

std::vector<ScreenPoint> overviewPoints(const std::vector<uint16_t> &samples, uint32_t sampleCount, int width,
                                        int height, int rangeDb)
{
    // Never read past the samples actually held, whatever sampleCount claims.
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(sampleCount, samples.size()));
    if (n < minimumSamples || width <= 0 || height <= 0)
        return {};

    std::vector<ScreenPoint> points(2 * static_cast<size_t>(width));
    const float perColumn = static_cast<float>(n) / static_cast<float>(width);
    const float h = static_cast<float>(height);
    // Raw s maps to h - levelDb(s) x h / range: for 50 dB this is h / 50000 x s + (h - h x 1.3107).
    // Traces above 50 dB need the wider range of the view window, or their top is cut off and
    // the window frame sits at the wrong height.
    const float range = static_cast<float>(rangeDb > 0 ? rangeDb : 50) * 1000.0f;
    const float scale = h / range;
    const float shift = h - h * static_cast<float>(TraceMapping::fullScaleRaw / static_cast<double>(range));
    auto y = [&](uint16_t s) { return static_cast<int32_t>(scale * static_cast<float>(s) + shift); };

    uint32_t k = 0;
    for (int j = 0; j < width; ++j) {
        uint32_t e = static_cast<uint32_t>(perColumn * static_cast<float>(j + 1));
        e = std::min(e, n);
        size_t first = k;
        size_t second = k;
        if (e > k) {
            size_t maxAt = k;
            size_t minAt = k;
            for (size_t i = k + 1; i < e; ++i) {
                if (samples[i] > samples[maxAt])
                    maxAt = i;
                if (samples[i] < samples[minAt])
                    minAt = i;
            }
            first = std::min(maxAt, minAt);
            second = std::max(maxAt, minAt);
        } else if (k >= n) {
            first = second = n - 1;
        }
        points[2 * j] = {j, y(samples[first])};
        points[2 * j + 1] = {j, y(samples[second])};
        k = std::max(k, e);
    }
    return points;
}

QRect viewWindowRect(const OverviewWindow &window, uint32_t sampleCount, int width, int height,
                     int verticalRangeDb)
{
    if (!window.valid || sampleCount < minimumSamples || window.length <= 0.0f)
        return QRect();
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const int left = static_cast<int>(window.xMin * w / window.length);
    const int right = static_cast<int>(window.xMax * w / window.length);
    int top = 0;
    int bottom = height;
    if (verticalRangeDb != 0) {
        const float r = static_cast<float>(verticalRangeDb);
        top = static_cast<int>(h - window.yMin * h / r);
        bottom = static_cast<int>(h - window.yMax * h / r);
    }
    // Width and height as right - left and bottom - top: the right and bottom edges lie outside.
    return QRect(std::min(left, right), std::min(top, bottom), std::abs(right - left), std::abs(bottom - top));
}
