#include "trace/TraceLoader.h"

#include "trace/CumulativeLoss.h"
#include "trace/InfoTexts.h"
#include "trace/SorMath.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

using sormath::truncToInt32;

namespace {

// The number at the start of an event comment, as "%f" reads it (leading blanks and a sign
// allowed). The comment is read through a 20-byte buffer: only its first 19 bytes count.
bool commentNumber(const QByteArray &comment, float &value)
{
    char buffer[20];
    const size_t n = std::min<size_t>(static_cast<size_t>(comment.size()), sizeof buffer - 1);
    std::memcpy(buffer, comment.constData(), n);
    const char *p = buffer;
    const char *end = buffer + n;
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // A number starts with a digit or a point: words such as "Info" or "nano" hold no
    // cumulative loss, although "%f" would read infinity or not-a-number from them.
    if (p == end || !((*p >= '0' && *p <= '9') || *p == '.'))
        return false;
    float v = 0.0f;
    const auto result = std::from_chars(p, end, v);
    if (result.ec == std::errc::invalid_argument)
        return false;
    // Out of range: from_chars leaves v unchanged, "%f" gives zero for a number too small and
    // infinity for one too large. Nineteen bytes hold too few digits to leave the range without
    // an exponent, so a negative exponent means too small.
    if (result.ec == std::errc::result_out_of_range) {
        const char *e = std::find_if(p, result.ptr, [](char c) { return c == 'e' || c == 'E'; });
        const bool tooSmall = e != result.ptr && e + 1 != result.ptr && e[1] == '-';
        v = tooSmall ? 0.0f : std::numeric_limits<float>::infinity();
    }
    value = negative ? -v : v;
    return true;
}

constexpr int16_t noLossMarker = 32767;

// The test range as the trace shows it: the stored one, unless it disagrees with the span
// acquired (the point count times the sample spacing) by more than a factor of 3. No instrument
// samples three times past its range or stops at a third of it, so such a range is in a unit of
// the instrument's own, and the acquired span stands for it.
int32_t acquiredRangeMetres(int32_t storedMetres, float acquiredSpanM)
{
    const double stored = storedMetres;
    const double span = acquiredSpanM;
    if (!(span >= 1.0 && span < 2147483647.0))
        return storedMetres;
    if (stored > 3.0 * span || 3.0 * stored < span)
        return static_cast<int32_t>(std::lround(span));
    return storedMetres;
}

bool isNoReflectanceMarker(int32_t reflectance)
{
    return reflectance == std::numeric_limits<int32_t>::min() || reflectance == std::numeric_limits<int32_t>::min() + 1;
}

// How strongly the trace shows an event at sample `index`: the change of level across it plus
// the height of a peak on it, dB. `w` is a little more than the pulse, in samples.
double featureAt(const std::vector<uint16_t> &samples, int64_t index, int64_t w)
{
    const auto n = static_cast<int64_t>(samples.size());
    if (index - 4 * w < 0 || index + 4 * w > n)
        return 0.0;
    auto mean = [&](int64_t first, int64_t last) {
        double sum = 0.0;
        for (int64_t i = first; i < last; ++i)
            sum += levelDb(samples[static_cast<size_t>(i)]);
        return sum / static_cast<double>(last - first);
    };
    const double drop = mean(index - 4 * w, index - 3 * w) - mean(index + 3 * w, index + 4 * w);
    double peak = -1e9;
    for (int64_t i = index - 2; i < index + w; ++i)
        peak = std::max(peak, levelDb(samples[static_cast<size_t>(i)]));
    return std::abs(drop) + std::max(0.0, peak - levelDb(samples[static_cast<size_t>(index - w - 2)]));
}

// How strongly the file's events, placed `shift` samples on from their times' own distances,
// fall on features of the trace; -1 when one of them would leave the trace or no number is
// its position. Events in the launch's own disturbance have no vote.
double eventsFeature(const SorRecord &record, const std::vector<uint16_t> &samples, double metresPerTime, int64_t shift,
                     int64_t w, int &voters)
{
    const double s = record.sampleSpacing;
    double sum = 0.0;
    voters = 0;
    for (size_t k = 1; k < record.events.size(); ++k) {
        // The event's sample index; a damaged file can make it anything, NaN included.
        const double at = metresPerTime * record.events[k].time / s - 1.0;
        if (!std::isfinite(at))
            return -1.0;
        // Every event lies on the trace: an origin that would push one past its end is not theirs.
        if (at + static_cast<double>(shift) >= static_cast<double>(samples.size()))
            return -1.0;
        if (at < static_cast<double>(8 * w))
            continue;
        sum += featureAt(samples, static_cast<int64_t>(at) + shift, w);
        ++voters;
    }
    return sum;
}

// Where the stored event times start, in metres of the trace. Event times count from the
// instrument's front panel; the samples may start before it. Two origins are known: the front
// panel's offset (FxdParams), the time from the first sample to the front panel, which some
// instruments fill with the samples they take before it (a DataPts block with more points than
// FxdParams counts); and a user offset (a launch fibre), which most instruments that store one
// measure their event times from. Other instruments measure from the first sample. The trace
// decides: an origin is taken when the events, placed with it, fall on clearly stronger features
// of the trace than without it; of two, the stronger.
double eventTimeOrigin(const SorRecord &record, const std::vector<uint16_t> &samples, double metresPerTime)
{
    const double s = record.sampleSpacing;
    if (!(s > 0.0) || record.events.size() < 2 || samples.empty())
        return 0.0;
    const double pulseSamples = record.pulseWidthNs * static_cast<double>(record.samplingFrequencyMHz) / 1000.0;
    const int64_t w = std::max<int64_t>(4, static_cast<int64_t>(std::min(pulseSamples, 1e5)) + 2);
    int voters = 0;
    const double asStored = eventsFeature(record, samples, metresPerTime, 0, w, voters);
    // One event is too weak a vote to move a file's events.
    if (asStored < 0.0 || voters < 2)
        return 0.0;
    // The front panel's offset is the file's own word for where its times start: the trace need
    // only show the events stronger with it. A user offset some instruments measure from and some
    // do not: the trace must show them far stronger.
    struct Candidate {
        double metres;
        double factor;
    };
    const Candidate candidates[] = {{metresPerTime * record.frontPanelOffset, 1.25},
                                    {infotexts::recordUserOffset(record), 2.0}};
    double origin = 0.0;
    double best = 0.0;
    for (const Candidate &c : candidates) {
        // An origin past the trace's end is no origin of its events (and would overflow below).
        if (!(c.metres > 0.0) || !(c.metres / s < static_cast<double>(samples.size())))
            continue;
        const auto shift = static_cast<int64_t>(std::llround(c.metres / s));
        const double shifted = eventsFeature(record, samples, metresPerTime, shift, w, voters);
        if (shifted > c.factor * asStored + 0.5 && shifted > best) {
            best = shifted;
            origin = c.metres;
        }
    }
    return origin;
}

} // namespace

uint16_t normalisedPoint(uint16_t raw, int16_t scaleFactor)
{
    if (scaleFactor <= 0)
        return raw; // no usable scale: the points are taken as they are
    const int64_t scaled = (static_cast<int64_t>(raw) * scaleFactor * 2 + 1000) / 2000; // rounded half up
    return scaled > 65535 ? 65535 : static_cast<uint16_t>(scaled);
}

void normalisedPoints(const SorTrace &trace, size_t count, uint16_t *out)
{
    if (count == 0)
        return;
    if (trace.scaleFactor == 1000 || trace.scaleFactor <= 0) {
        std::memcpy(out, trace.points.data(), count * sizeof(uint16_t));
        return;
    }
    for (size_t i = 0; i < count; ++i)
        out[i] = normalisedPoint(trace.points[i], trace.scaleFactor);
}

EventPosition eventPosition(double metresPerTime, int32_t time, float spacing, uint32_t sampleCount, float originM)
{
    EventPosition at;
    at.distance = static_cast<float>(metresPerTime * time + originM);
    const float x = at.distance / spacing - 1.0f;
    const int32_t whole = truncToInt32(x);
    const int32_t nudged = truncToInt32(static_cast<double>(x) + 0.1);
    if (whole == nudged) {
        at.index = whole;
    } else {
        at.index = nudged;
        at.distance = static_cast<float>(nudged + 1) * spacing;
    }
    // Negative or past the end (compared unsigned): the last sample. An empty trace has no
    // last sample; its events point at index 0.
    if (static_cast<uint32_t>(at.index) >= sampleCount)
        at.index = sampleCount > 0 ? static_cast<int32_t>(sampleCount - 1) : 0;
    return at;
}

int32_t eventTime(const TraceMapping &mapping, float distance, uint32_t sampleCount, float originM)
{
    // The nearest time, or a neighbour of it when only that one loads back onto the distance
    // (an event the load snapped onto its sample).
    const int32_t nearest = mapping.timeOfMetres(static_cast<double>(distance) - originM);
    const double metresPerTime = mapping.metresPerTimeUnit();
    for (const int32_t step : {0, -1, 1}) {
        const int32_t t = sormath::wrapAdd(nearest, step);
        if (eventPosition(metresPerTime, t, mapping.spacing(), sampleCount, originM).distance == distance)
            return t;
    }
    return nearest;
}

void loadTrace(SorRecord record, TraceData &trace, QM7ZZZ_Acount_Total_Loss_fn totalLoss)
{
    // 1. Samples of the first trace. A point count that exceeds the points held is cut to them.
    if (!record.traces.empty()) {
        SorTrace &first = record.traces.front();
        const size_t count = std::min<size_t>(static_cast<size_t>(std::max(first.pointCount, 0)), first.points.size());
        if ((first.scaleFactor == 1000 || first.scaleFactor <= 0) && count == first.points.size()) {
            // The record is this function's own copy: its points become the samples as they are.
            trace.samples.swap(first.points);
        } else {
            trace.samples.resize(count);
            normalisedPoints(first, count, trace.samples.data());
        }
        trace.sampleCount = static_cast<uint32_t>(count);
    }

    // 2. Acquisition values.
    trace.pulseWidthNs = record.pulseWidthNs;
    trace.wavelengthNm = record.wavelengthNm;
    trace.refractiveIndex = record.refractiveIndex;
    trace.samplingFrequencyMHz = record.samplingFrequencyMHz;
    trace.sampleSpacing = record.sampleSpacing;
    trace.fibreLength = record.fibreLength;
    trace.frontPanelOffset = record.frontPanelOffset;

    // 3. Events, snapped to samples.
    const float s = record.sampleSpacing;
    const TraceMapping mapping(record.refractiveIndex, s);
    const double metresPerTime = mapping.metresPerTimeUnit();
    trace.eventTimeOrigin = static_cast<float>(eventTimeOrigin(record, trace.samples, metresPerTime));
    trace.events.clear();
    trace.eventsFromAnalysis = false;
    // The library's list belongs to the events just read, never to the slot's previous file.
    trace.eventList = resetEventList();
    trace.events.reserve(record.events.size());
    int32_t typeDigit = 0;
    char codeLetter = 0;
    float cumulative = 0.0f;
    bool commentSeen = false;
    for (const SorEvent &se : record.events) {
        TraceEvent e;
        if (se.code.size() >= 6) {
            typeDigit = static_cast<signed char>(se.code[0]) - '0';
            codeLetter = se.code[1];
        }
        e.typeDigit = typeDigit;
        e.codeLetter = codeLetter;
        const EventPosition at = eventPosition(metresPerTime, se.time, s, trace.sampleCount, trace.eventTimeOrigin);
        e.distance = at.distance;
        e.index = at.index;

        e.attenuation = static_cast<float>(se.attenuation / 1000.0);
        // Instruments write these values for "not measured"; they load as 0, which the event
        // list, the reports and the verdict treat as no value.
        e.loss = se.loss == noLossMarker ? 0.0f : static_cast<float>(se.loss / 1000.0);
        e.reflectance = isNoReflectanceMarker(se.reflectance) ? 0.0f : static_cast<float>(se.reflectance / 1000.0);
        // Only a comment that holds a number stores a cumulative loss. Other instruments put
        // blanks or words there; such a file gets its cumulative losses from the library.
        if (!se.comment.isEmpty() && commentNumber(se.comment, cumulative))
            commentSeen = true;
        e.totalLoss = cumulative;
        trace.events.push_back(e);
    }

    // 4. Cumulative losses from the event library when no comment held a number.
    if (!commentSeen)
        libraryTotalLosses(trace, totalLoss);

    // 4a. The instrument's own end-to-end loss and ORL; the first decides the fibre end's total.
    trace.endToEndLossDb = record.endToEndLossDb;
    trace.orlDb = record.orlDb;
    const int end = fibreEndIndex(trace);
    trace.endToEndIndex = end >= 0 ? trace.events[static_cast<size_t>(end)].index : 0;
    // Totals a file stores in its comments are its own and stand as stored.
    if (!commentSeen)
        reconcileWithStoredLoss(trace);

    // 5. Further values.
    trace.rangeMetres = acquiredRangeMetres(record.rangeMetres, record.fibreLength);
    trace.timestamp = static_cast<int32_t>(static_cast<uint32_t>(record.timestamp));
    trace.lossThreshold = record.lossThreshold;
    trace.reflectanceThreshold = record.reflectanceThreshold;
    trace.endThreshold = record.endThreshold;
    trace.backscatter = record.backscatter;
    trace.averages = static_cast<float>(record.averages);

    // 6. Information texts.
    infotexts::applyToTrace(record.infoTexts, trace);
}

void traceToRecord(const TraceData &trace, SorRecord &record)
{
    const TraceMapping mapping = TraceMapping::of(trace);
    // One trace at scale 1000; the record's first point array is reused when it has one.
    const size_t count = std::min<size_t>(trace.sampleCount, trace.samples.size());
    record.traces.resize(1);
    SorTrace &out = record.traces.front();
    out.pointCount = static_cast<int32_t>(count);
    out.scaleFactor = 1000;
    out.points.assign(trace.samples.begin(), trace.samples.begin() + static_cast<std::ptrdiff_t>(count));

    record.refractiveIndex = trace.refractiveIndex;
    record.pulseWidthNs = trace.pulseWidthNs;
    record.wavelengthNm = trace.wavelengthNm;
    record.samplingFrequencyMHz = trace.samplingFrequencyMHz;
    record.backscatter = trace.backscatter;
    record.lossThreshold = trace.lossThreshold;
    record.reflectanceThreshold = trace.reflectanceThreshold;
    record.endThreshold = trace.endThreshold;
    record.fibreLength = trace.fibreLength;
    record.frontPanelOffset = trace.frontPanelOffset;
    record.timestamp = trace.timestamp;
    record.rangeMetres = truncToInt32(trace.fibreLength);
    // The instrument's figures go back to the file while they still describe the trace.
    record.endToEndLossDb = storedEndToEndApplies(trace) ? trace.endToEndLossDb : 0.0f;
    record.orlDb = trace.orlDb;

    // Values are shifted up by 0.0001 before the truncation toward zero.
    auto thousandths = [](float v) { return truncToInt32((static_cast<double>(v) + 0.0001) * 1000.0); };
    record.events.clear();
    record.events.reserve(trace.events.size());
    for (const TraceEvent &e : trace.events) {
        SorEvent out;
        out.time = eventTime(mapping, e.distance, trace.sampleCount, trace.eventTimeOrigin);
        out.attenuation = static_cast<int16_t>(thousandths(e.attenuation));
        out.loss = static_cast<int16_t>(thousandths(e.loss));
        out.reflectance = thousandths(e.reflectance);
        out.code = QByteArray(1, static_cast<char>('0' + e.typeDigit)) + QByteArray(1, e.codeLetter) + "9999";
        out.technique = "LS";
        record.events.push_back(std::move(out));
    }
    record.infoTexts = infotexts::forSave(trace);
}

int maximumLevel(const SorRecord &record)
{
    int best = 0;
    for (const SorTrace &t : record.traces) {
        if (t.points.empty())
            continue;
        // The level falls as the raw value rises: the smallest normalised point gives the most.
        uint16_t lowest = 65535;
        for (uint16_t raw : t.points)
            lowest = std::min(lowest, normalisedPoint(raw, t.scaleFactor));
        best = std::max(best, static_cast<int>(TraceMapping::levelDb(lowest)));
    }
    return best;
}

std::vector<float> viewLevels(const SorRecord &record, uint32_t sampleCount)
{
    std::vector<float> levels(sampleCount, 0.0f);
    size_t at = 0;
    for (const SorTrace &t : record.traces) {
        for (size_t i = 0; i < t.points.size() && at < sampleCount; ++i, ++at)
            levels[at] = static_cast<float>(levelDb(normalisedPoint(t.points[i], t.scaleFactor)));
        if (at >= sampleCount)
            break;
    }
    return levels;
}

float recordUserOffset(const SorRecord &record)
{
    return infotexts::recordUserOffset(record);
}
