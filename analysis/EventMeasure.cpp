#include "analysis/EventMeasure.h"

#include <algorithm>
#include <cmath>

namespace qm7 {

namespace {

// A section shorter than this borrows its slope instead of fitting one.
constexpr int64_t minFitPoints = 6;
// Smallest peak, dB above the backscatter, that counts as a reflection.
constexpr double minPeakDb = 0.1;

struct Range {
    int64_t first = 0;
    int64_t last = 0;   // exclusive
    bool clean = true;  // clear of both events' disturbances
    int64_t size() const { return last > first ? last - first : 0; }
};

// Samples of flat backscatter between an event (or the trace start) and the next position.
Range sectionRange(const Context &c, int64_t left, int64_t right, bool rightIsEvent)
{
    Range r;
    r.last = std::min(rightIsEvent ? right - c.geometry.guardBefore : right, c.samples.count);
    // Without an event on the left the section starts after the launch at sample 0.
    r.first = left < 0 ? deadZoneEnd(c, 0, r.last) : std::max(left + 1, deadZoneEnd(c, left, r.last));
    if (r.size() >= minFitPoints)
        return r;
    // Events closer than their dead zones: fall back to whatever lies strictly between them.
    r.first = std::max<int64_t>(left + 1, 0);
    r.last = std::min(right, c.samples.count);
    r.clean = false;
    return r;
}

// True when the level within the pulse after `index` stands above the level just before it.
bool risesAt(const Context &c, int64_t index)
{
    if (index < 1 || index >= c.samples.count)
        return false;
    const int64_t last = std::min(c.samples.count, index + c.geometry.settle);
    double peak = c.samples.level(index);
    for (int64_t i = index; i < last; ++i)
        peak = std::max(peak, c.samples.level(i));
    return peak > c.samples.level(index - 1) + minPeakDb;
}

} // namespace

std::optional<Geometry> makeGeometry(float refractiveIndex, float samplingFrequencyMHz, int32_t pulseWidthNs)
{
    const double n = refractiveIndex;
    const double f = samplingFrequencyMHz;
    if (!(n > 0.0) || !(f > 0.0) || !std::isfinite(n) || !std::isfinite(f))
        return std::nullopt;
    Geometry g;
    g.spacingM = 299792458.0 / (n * f * 1e6) / 2.0;
    if (!(g.spacingM > 0.0) || !std::isfinite(g.spacingM))
        return std::nullopt;
    g.pulseWidthNs = pulseWidthNs;
    // A pulse of D ns spans D ns of round-trip time, D * f / 1000 samples.
    const double pulse = pulseWidthNs > 0 ? pulseWidthNs * f / 1000.0 : 0.0;
    g.pulseSamples = std::min(pulse, 1e6);
    const auto p = static_cast<int64_t>(std::ceil(g.pulseSamples));
    // A full pulse before the event stays out of the fits, so that a cursor set up to a pulse
    // length late still measures from clean backscatter.
    g.guardBefore = p + 1;
    g.settle = p + 2;
    return g;
}

double defaultBackscatter(int32_t wavelengthNm)
{
    return wavelengthNm >= 1400 ? -81.5 : -79.5;
}

int64_t deadZoneEnd(const Context &c, int64_t index, int64_t limit)
{
    const Geometry &g = c.geometry;
    const int64_t base = index + g.settle;
    limit = std::min(limit, c.samples.count);
    // Fit the settled backscatter well after the event and extend it back: the disturbance
    // (the pulse's fall, a reflection's plateau and the receiver's recovery) is everything
    // that still stands above that line.
    const auto p = static_cast<int64_t>(std::ceil(g.pulseSamples));
    int64_t first = index + std::max(g.settle, 6 * p) + 16;
    int64_t last = std::min(limit, first + std::max<int64_t>(64, 8 * p));
    if (last - first < minFitPoints) {
        // The next event comes early: fit what lies after a reflection's usual recovery, and
        // without even that, assume such a recovery when the level rises at the event.
        first = index + 3 * p + 2;
        last = limit;
        if (last - first < minFitPoints)
            return risesAt(c, index) ? first : base;
    }
    Line settled = fitLine(c.samples, first, last);
    // A long or saturated reflection outlasts the usual recovery: while the fit still falls
    // far faster than any fibre (a dB over the fit and 1.5 dB/km), it lies on the reflection's
    // decay, and the settled fibre comes later.
    const double steepest = -std::max(1.0 / static_cast<double>(last - first), 1.5e-3 * g.spacingM);
    for (int tries = 0; tries < 8 && settled.slope < steepest; ++tries) {
        const int64_t length = last - first;
        if (last + length > limit)
            break;
        first = last;
        last += length;
        settled = fitLine(c.samples, first, last);
    }
    const double threshold = std::max(0.05, 4.0 * settled.rms);
    int64_t lastAbove = -1;
    for (int64_t i = std::max<int64_t>(index, 0); i < first; ++i)
        if (c.samples.level(i) > settled.at(static_cast<double>(i)) + threshold)
            lastAbove = i;
    if (lastAbove < 0)
        return base;
    return std::max(base, lastAbove + (p + 1) / 2 + 2);
}

double reflectanceFromPeak(double heightDb, double backscatterDb, int32_t pulseWidthNs)
{
    const double d = std::max(1, pulseWidthNs);
    return backscatterDb + 10.0 * std::log10(d) + 10.0 * std::log10(std::pow(10.0, heightDb / 5.0) - 1.0);
}

Measurement measureAt(const Context &c, int64_t index, const Neighbours &around, double fallbackSlope)
{
    Measurement m;
    const Range rb = sectionRange(c, around.previous, index, true);
    if (!rb.clean && around.previous >= 0) {
        // Inside the dead zone of the event before, which carries the loss of both.
        m.lossValid = true;
        return m;
    }
    Range ra = sectionRange(c, index, around.next, around.nextIsEvent);
    if (!ra.clean && around.nextIsEvent)
        ra = sectionRange(c, around.next, around.afterNext, around.afterNextIsEvent);

    // The attenuation comes from the whole section before the event.
    const bool sectionFits = rb.size() >= minFitPoints;
    const Line section = sectionFits ? fitLine(c.samples, rb.first, rb.last, false) : Line{};
    if (sectionFits) {
        m.attenuation = -section.slope / c.geometry.spacingM * 1000.0;
        m.attenuationValid = std::isfinite(m.attenuation);
    }

    // The loss from the fibre next to the event only, so that a change further along the
    // section (an event deleted there, a bend) does not tilt the lines.
    const auto p = static_cast<int64_t>(std::ceil(c.geometry.pulseSamples));
    const int64_t reach = std::max<int64_t>(256, 32 * p);
    const Range lb{std::max(rb.first, rb.last - reach), rb.last};
    const Range la{ra.first, std::min(ra.last, ra.first + reach)};
    const bool fitBefore = lb.size() >= minFitPoints;
    const bool fitAfter = la.size() >= minFitPoints;
    Line before = fitBefore ? fitLine(c.samples, lb.first, lb.last) : Line{};
    Line after = fitAfter ? fitLine(c.samples, la.first, la.last) : Line{};
    if (!fitBefore)
        before = levelWithSlope(c.samples, lb.first, lb.last, fitAfter ? after.slope : fallbackSlope);
    if (!fitAfter)
        after = levelWithSlope(c.samples, la.first, la.last, fitBefore ? before.slope : fallbackSlope);

    const double x = static_cast<double>(index);
    if (before.points > 0 && after.points > 0) {
        m.loss = before.at(x) - after.at(x);
        m.lossValid = std::isfinite(m.loss);
    }

    if (before.points > 0) {
        const int64_t first = std::max<int64_t>(index - c.geometry.guardBefore, 0);
        const int64_t last = std::min(c.samples.count, index + c.geometry.settle + c.geometry.guardBefore);
        double peak = -1e9;
        for (int64_t i = first; i < last; ++i)
            peak = std::max(peak, c.samples.level(i));
        const double height = peak - before.at(x);
        if (height > std::max(minPeakDb, 4.0 * before.rms)) {
            m.reflectance = reflectanceFromPeak(height, c.backscatterDb, c.geometry.pulseWidthNs);
            m.reflective = std::isfinite(m.reflectance);
        }
    }
    return m;
}

} // namespace qm7
