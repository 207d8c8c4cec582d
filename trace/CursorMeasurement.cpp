#include "trace/CursorMeasurement.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

struct Fit {
    double slope = 0.0;     // dB per m
    double intercept = 0.0; // dB at 0 m
};

size_t usable(const TraceData &t)
{
    return std::min<size_t>(t.samples.size(), t.sampleCount);
}

double distanceOf(const TraceData &t, size_t k)
{
    return static_cast<double>(k + 1) * t.sampleSpacing;
}

// The sample nearest to distance m (on the trace).
size_t nearestSample(const TraceData &t, double m)
{
    const double k = std::round(m / t.sampleSpacing - 1.0);
    return static_cast<size_t>(std::clamp(k, 0.0, static_cast<double>(usable(t) - 1)));
}

// Least-squares line through the samples whose distances lie in [fromM, toM], clamped to the
// trace; empty with fewer than two.
std::optional<Fit> fitBetween(const TraceData &t, double fromM, double toM)
{
    const double s = t.sampleSpacing;
    const double n = static_cast<double>(usable(t));
    const auto first = static_cast<size_t>(std::clamp(std::ceil(fromM / s - 1.0 - 1e-9), 0.0, n));
    const auto last = static_cast<size_t>(std::clamp(std::floor(toM / s - 1.0 + 1e-9) + 1.0, 0.0, n));
    if (last < first + 2)
        return std::nullopt;
    // Centred on the first point, so that long fibres keep their precision.
    const double x0 = distanceOf(t, first);
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    for (size_t k = first; k < last; ++k) {
        const double x = distanceOf(t, k) - x0;
        const double y = levelDb(t.samples[k]);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double count = static_cast<double>(last - first);
    const double d = count * sxx - sx * sx;
    if (!(d > 0.0))
        return std::nullopt;
    Fit f;
    f.slope = (count * sxy - sx * sy) / d;
    f.intercept = (sy - f.slope * sx) / count - f.slope * x0;
    return f;
}

} // namespace

QString measurementModeKey(MeasurementMode mode)
{
    switch (mode) {
    case MeasurementMode::Lsa: return QStringLiteral("lsa");
    case MeasurementMode::Splice: return QStringLiteral("splice");
    case MeasurementMode::TwoPoint: break;
    }
    return QStringLiteral("two-point");
}

std::optional<MeasurementMode> measurementModeFromKey(const QString &key)
{
    for (MeasurementMode m : {MeasurementMode::TwoPoint, MeasurementMode::Lsa, MeasurementMode::Splice})
        if (key.compare(measurementModeKey(m), Qt::CaseInsensitive) == 0)
            return m;
    return std::nullopt;
}

bool onTrace(const TraceData &trace, double m)
{
    const size_t n = usable(trace);
    return n > 0 && trace.sampleSpacing > 0.0f && std::isfinite(m) && m >= 0.0 && m <= distanceOf(trace, n - 1);
}

std::optional<CursorMeasurement> measureCursors(const TraceData &trace, MeasurementMode mode, double aM, double bM)
{
    if (!onTrace(trace, aM) || !onTrace(trace, bM))
        return std::nullopt;
    if (aM > bM)
        std::swap(aM, bM);
    const double span = bM - aM; // m
    if (!(span > 0.0))
        return std::nullopt;
    CursorMeasurement m;
    switch (mode) {
    case MeasurementMode::TwoPoint:
        m.lossDb = levelDb(trace.samples[nearestSample(trace, aM)]) - levelDb(trace.samples[nearestSample(trace, bM)]);
        m.attenuationDbKm = m.lossDb / (span / 1000.0);
        return m;
    case MeasurementMode::Lsa: {
        const auto fit = fitBetween(trace, aM, bM);
        if (!fit)
            return std::nullopt;
        m.attenuationDbKm = -fit->slope * 1000.0;
        m.lossDb = m.attenuationDbKm * span / 1000.0;
        return m;
    }
    case MeasurementMode::Splice: {
        const auto before = fitBetween(trace, aM - span, aM);
        const auto after = fitBetween(trace, bM, bM + span);
        if (!before || !after)
            return std::nullopt;
        const double mid = (aM + bM) / 2.0;
        m.lossDb = (before->intercept + before->slope * mid) - (after->intercept + after->slope * mid);
        m.attenuationDbKm = -(before->slope + after->slope) / 2.0 * 1000.0;
        return m;
    }
    }
    return std::nullopt;
}
