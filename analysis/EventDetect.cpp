#include "analysis/EventDetect.h"

#include "analysis/EventListEdit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace qm7 {

namespace {

// How many spreads of the step statistic a step must reach to count as an event.
constexpr double stepSigmas = 4.5;
// How far the spread of the step statistic may stand above what the sample noise alone gives.
constexpr double maxSpreadOverNoise = 25.0;

// Prefix sums of the levels, so that any window mean costs two reads.
class LevelSums {
public:
    explicit LevelSums(const Samples &s) : sums_(static_cast<size_t>(s.count) + 1, 0.0)
    {
        for (int64_t i = 0; i < s.count; ++i)
            sums_[static_cast<size_t>(i) + 1] = sums_[static_cast<size_t>(i)] + s.level(i);
    }
    // Mean of first .. last - 1; the caller keeps the window inside the trace and non-empty.
    double mean(int64_t first, int64_t last) const
    {
        return (sums_[static_cast<size_t>(last)] - sums_[static_cast<size_t>(first)]) / static_cast<double>(last - first);
    }

private:
    std::vector<double> sums_;
};

// Noise of single samples in blocks, from the median absolute difference of neighbours, which
// steps and peaks barely move.
std::vector<double> blockNoise(const Samples &s, int64_t block)
{
    std::vector<double> noise;
    std::vector<double> diffs;
    for (int64_t b = 0; b < s.count; b += block) {
        const int64_t e = std::min(s.count, b + block);
        diffs.clear();
        for (int64_t i = b + 1; i < e; ++i)
            diffs.push_back(std::abs(s.level(i) - s.level(i - 1)));
        double sigma = 0.0;
        if (!diffs.empty()) {
            auto mid = diffs.begin() + static_cast<std::ptrdiff_t>(diffs.size() / 2);
            std::nth_element(diffs.begin(), mid, diffs.end());
            // median |difference| = 0.6745 * sqrt(2) * sigma for Gaussian noise
            sigma = *mid / (0.6745 * std::sqrt(2.0));
        }
        noise.push_back(sigma);
    }
    return noise;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// The standard error of a fitted line's slope: its residual over the spread of its x values.
double slopeSpread(const Line &fit)
{
    const auto n = static_cast<double>(fit.points);
    return n > 0.0 ? fit.rms * std::sqrt(12.0 / (n * n * n)) : 0.0;
}

// True when a stretch's fitted slope is the fibre's, within its noise and half the slope.
bool runsWithFibre(const Line &fit, double slope)
{
    return std::abs(fit.slope - slope) <= 3.0 * slopeSpread(fit) + 0.5 * std::abs(slope);
}

// The highest that the noise past the fibre reaches in a window mean: the noise floor as the
// end search sees it. The last twentieth of the trace is taken as noise; a trace that ends
// inside the fibre gives a ceiling close to the backscatter, and no end is found there.
double noiseCeiling(const Samples &s, const LevelSums &sums, int64_t window)
{
    const int64_t tail = std::max<int64_t>(4 * window, s.count / 20);
    double ceiling = -1e9;
    for (int64_t i = std::max<int64_t>(0, s.count - tail); i + window <= s.count; i += std::max<int64_t>(1, window / 4))
        ceiling = std::max(ceiling, sums.mean(i, i + window));
    return ceiling;
}

// Roughly where the fibre ends: the end of the last window whose mean stands `endDb` above the
// noise ceiling, with only noise after it. -1 when the trace does not reach the noise.
int64_t findEnd(const Samples &s, const LevelSums &sums, int64_t window, int64_t from, double endDb)
{
    if (s.count - from < 8 * window)
        return -1;
    const double ceiling = noiseCeiling(s, sums, window);
    const int64_t tail = std::max<int64_t>(4 * window, s.count / 20);
    int64_t last = -1;
    for (int64_t i = s.count - window; i >= from + window; --i) {
        if (sums.mean(i - window, i) > ceiling + endDb) {
            // i is the first window start after the fall; a trace whose tail still holds
            // fibre has its last window within the tail itself.
            last = i < s.count - tail ? i : -1;
            break;
        }
    }
    if (last < 0)
        return -1;
    // Light that comes back from past the end (another fibre's reflections seen through a
    // break, echoes) rises out of the noise again later: the fibre ended at the first fall
    // after which the level stays down in the noise for a good stretch.
    const int64_t stay = std::max<int64_t>(8 * window, s.count / 20);
    const int64_t step = std::max<int64_t>(1, window / 4);
    for (int64_t i = from + window; i + stay <= last; ++i) {
        if (sums.mean(i - window, i) <= ceiling + endDb)
            continue;
        if (sums.mean(i, i + window) > ceiling + endDb)
            continue;
        // In the noise, not merely close to it: on the whole no higher than the noise past the
        // fibre reaches, and nowhere out of it.
        bool quiet = sums.mean(i + window, i + stay) <= ceiling;
        for (int64_t j = i; j + window <= i + stay && quiet; j += step)
            quiet = sums.mean(j, j + window) <= ceiling + endDb;
        if (quiet)
            return i;
    }
    return last;
}

// The first sample in first .. last at which the level leaves the backscatter line fitted just
// before `first` for `sustain` samples running: the start of the event's edge or peak.
// `floor` bounds the fit on the left.
int64_t edgeStart(const Context &c, int64_t first, int64_t last, int64_t floor, double step, int64_t sustain = 2)
{
    const Geometry &g = c.geometry;
    const int64_t fitLast = first;
    const int64_t fitFirst = std::max(floor, fitLast - std::max<int64_t>(64, 16 * g.settle));
    if (fitLast - fitFirst < 6)
        return first;
    const Line line = fitLine(c.samples, fitFirst, fitLast);
    const double threshold = std::max(3.0 * line.rms, 0.25 * std::abs(step));
    const int64_t scanEnd = std::min(c.samples.count, last + sustain);
    int64_t run = 0;
    for (int64_t i = first; i < scanEnd; ++i) {
        run = std::abs(c.samples.level(i) - line.at(static_cast<double>(i))) > threshold ? run + 1 : 0;
        if (run < sustain)
            continue;
        // Back to where the level first left the line, in the same direction: the foot of
        // the fall or of the peak, which is where the event lies.
        const double sign = c.samples.level(i) < line.at(static_cast<double>(i)) ? -1.0 : 1.0;
        const double foot = std::max(1.5 * line.rms, 0.05 * threshold);
        int64_t at = i - sustain + 1;
        // A fall or a rise takes about a pulse: no foot lies further back.
        const int64_t back = std::max(first, at - 2 * g.settle);
        while (at > back && sign * (c.samples.level(at - 1) - line.at(static_cast<double>(at - 1))) > foot)
            --at;
        return at;
    }
    return first;
}

// Where a fall or rise that carries no reflection lies, from the level halfway between the
// backscatter before and after it: a step seen through a pulse of p samples is a ramp that
// starts at the event and reaches the new level p samples on, and any smoothing that is even
// about its centre widens the ramp without moving its middle. The midpoint is far steadier
// against noise than the foot, which long pulses and smoothed traces blur. `middle` is about
// where the ramp's middle lies (from the step statistic); returns `foot`, the edge found, where
// the step is a reflection or does not stand out of the noise.
int64_t placeStep(const Context &c, const LevelSums &sums, int64_t foot, int64_t middle, int64_t floor)
{
    const Samples &s = c.samples;
    const Geometry &g = c.geometry;
    const auto p = static_cast<int64_t>(std::ceil(g.pulseSamples));
    const int64_t fit = std::max<int64_t>(32, 4 * p);
    // A smoothed ramp spans up to three pulses; the fits keep clear of it.
    const int64_t clear = 2 * p + 2;
    const int64_t beforeLast = std::min(foot, middle - clear);
    const int64_t beforeFirst = std::max(floor, beforeLast - fit);
    const int64_t afterFirst = middle + clear;
    const int64_t afterLast = std::min(s.count, afterFirst + fit);
    if (beforeLast - beforeFirst < 6 || afterLast - afterFirst < 6)
        return foot;
    const Line before = fitLine(s, beforeFirst, beforeLast);
    const Line after = fitLine(s, afterFirst, afterLast);
    // A peak above the backscatter on both sides: a reflection, whose foot is its place. (A
    // gain rises too, but stays up.)
    for (int64_t i = foot; i < std::min(s.count, foot + g.settle); ++i) {
        const double xi = static_cast<double>(i);
        if (s.level(i) - std::max(before.at(xi), after.at(xi)) > std::max(0.1, 4.0 * before.rms))
            return foot;
    }
    // Moving means over a pulse: a longer ramp, the same middle.
    const int64_t half = std::max<int64_t>(1, p / 2);
    const double noise = std::max(before.rms, after.rms) / std::sqrt(static_cast<double>(2 * half));
    const double x = static_cast<double>(middle);
    if (std::abs(before.at(x) - after.at(x)) < 4.0 * noise)
        return foot;
    const int64_t first = std::max(beforeLast, floor + half);
    const int64_t last = std::min(s.count - half, afterFirst);
    for (int64_t i = first; i < last; ++i) {
        const double xi = static_cast<double>(i);
        const double high = before.at(xi);
        const double low = after.at(xi);
        const double mean = sums.mean(i - half, i + half);
        if ((mean - low) / (high - low) >= 0.5)
            continue;
        // The ramp is as long as its height over its steepness at the middle: a pulse where
        // nothing smooths the trace, longer where the instrument did; the event lies where the
        // ramp begins, as the foot of a reflection does.
        const int64_t q = std::max<int64_t>(2, p / 2);
        // A steepness the noise leaves uncertain by more than a fifth says nothing: a pulse then.
        const Line ramp = fitLine(s, i - q, i + q + 1);
        const bool steady = ramp.points >= 4 && std::abs(ramp.slope) > 5.0 * slopeSpread(ramp);
        const double width = steady ? std::abs((high - low) / ramp.slope) : 0.0;
        const double length = std::clamp(width, std::max(1.0, g.pulseSamples), 3.0 * std::max(1.0, g.pulseSamples));
        return std::max(floor, i - static_cast<int64_t>(std::lround(length / 2.0)));
    }
    return foot;
}

double fibreSlope(const Samples &s, int64_t first, int64_t last, int64_t block)
{
    std::vector<double> slopes;
    for (int64_t b = first; b + block <= last; b += block)
        slopes.push_back(fitLine(s, b, b + block).slope);
    if (slopes.empty()) {
        const Line line = fitLine(s, first, last);
        return line.points >= 2 ? line.slope : 0.0;
    }
    return median(std::move(slopes));
}

// Where the fibre ends, from the rough end of the search (where the level has already fallen):
// back along the trace to backscatter that runs with the fibre's own slope, past a
// reflection's plateau and the receiver's slow recovery, then forward to where the level leaves it.
int64_t refineEnd(const Context &c, int64_t rough, int64_t floor, double slope, int64_t window, double endDb)
{
    const Samples &s = c.samples;
    const int64_t length = std::max<int64_t>(32, 4 * c.geometry.settle);
    int64_t b = rough - window;
    while (b - length > floor) {
        if (runsWithFibre(fitLine(s, b - length, b), slope))
            break;
        b -= length / 2;
    }
    const auto sustain = std::max<int64_t>(2, static_cast<int64_t>(c.geometry.pulseSamples));
    return edgeStart(c, std::max(b, floor), rough + window, floor, endDb, sustain);
}

// The launch's disturbance lasts while the level falls far faster than any fibre attenuates:
// a saturated receiver recovers over hundreds of metres on some instruments. Returns the first
// sample from `from` on where the level runs with the fibre again.
int64_t launchRecoveryEnd(const Context &c, int64_t from, int64_t limit, double slope, int64_t window)
{
    // Three times the fibre's slope, and never gentler than 1 dB/km.
    const double steepest = 3.0 * std::min(slope, -1.0 * c.geometry.spacingM / 1000.0);
    const int64_t length = std::max<int64_t>(16, window);
    int64_t at = from;
    while (at + 2 * length < limit) {
        const Line fit = fitLine(c.samples, at, at + length);
        if (fit.slope >= steepest - 3.0 * slopeSpread(fit))
            break;
        at += length / 2;
    }
    return at;
}

// The launch's dead zone is measured against the backscatter after it. Where a connector lies
// within that (a launch fibre of a kilometre under a long pulse), the fibre before the
// connector stands above that backscatter by the connector's loss, and all of it looks like
// the launch's disturbance. Where the level runs with the fibre's slope soon after the launch
// and stands at most a dB above the backscatter after the dead zone, the launch ended there.
int64_t launchFibreEnd(const Context &c, int64_t launchEnd, double slope)
{
    const Geometry &g = c.geometry;
    const auto p = static_cast<int64_t>(std::ceil(g.pulseSamples));
    const int64_t window = std::max<int64_t>(16, p);
    const int64_t from = 2 * g.settle;
    if (launchEnd - from < 3 * window)
        return launchEnd;
    const int64_t early = launchRecoveryEnd(c, from, launchEnd, slope, window);
    if (early + 2 * window >= launchEnd)
        return launchEnd;
    const Line settled = fitLine(c.samples, launchEnd, std::min(c.samples.count, launchEnd + std::max<int64_t>(64, 8 * p)));
    const Line here = fitLine(c.samples, early, early + window);
    const double x = static_cast<double>(early + window / 2);
    const double above = here.at(x) - settled.at(x);
    return above >= 0.0 && above <= 1.0 ? early : launchEnd;
}

// Where the launch's reflection rises: the first sample within 10 dB of its top.
int64_t noFibreEnd(const Samples &s, int64_t launchEnd)
{
    const int64_t last = std::min(s.count, std::max<int64_t>(launchEnd, 1));
    double top = -1e9;
    for (int64_t i = 0; i < last; ++i)
        top = std::max(top, s.level(i));
    for (int64_t i = 0; i < last; ++i)
        if (s.level(i) >= top - 10.0)
            return std::max<int64_t>(i, 1);
    return 1;
}

void appendEvent(EventList &list, int64_t index, char letter)
{
    const int k = list.count++;
    list.index[k] = static_cast<int32_t>(index);
    list.typeDigit[k] = 0;
    list.codeLetter[k] = letter;
    list.loss[k] = 0.0f;
    list.reflectance[k] = 0.0f;
    list.attenuation[k] = 0.0f;
    list.totalLoss[k] = 0.0f;
}

// Measures every event of the list from its neighbours; the start keeps loss 0 and the end its
// reflection only, as the level after it is noise.
void measureAll(EventList &list, const Context &c)
{
    for (int k = 0; k < list.count; ++k) {
        const Measurement m = measureAt(c, list.index[k], neighboursOf(list, k, c), 0.0);
        const bool start = list.codeLetter[k] == 'S';
        // The end of the acquisition (O) has no level after it either.
        const bool end = list.codeLetter[k] == 'E' || list.codeLetter[k] == 'O';
        list.loss[k] = (start || end || !m.lossValid) ? 0.0f : static_cast<float>(m.loss);
        list.attenuation[k] = (start || !m.attenuationValid) ? 0.0f : static_cast<float>(m.attenuation);
        list.typeDigit[k] = m.reflective && !start ? 1 : 0;
        list.reflectance[k] = m.reflective && !start ? static_cast<float>(m.reflectance) : 0.0f;
    }
}

// A fibre end found at twice or three times the distance of an earlier reflection is that
// reflection's echo (the light it sends back is reflected once more at the launch): the
// fibre ended at the reflection, and what follows it is noise and echoes. Makes the
// reflection the end and drops what follows it; true when it did.
bool endIsGhost(EventList &list, const Geometry &g)
{
    const int last = list.count - 1;
    if (last < 2 || list.codeLetter[last] != 'E' || list.typeDigit[last] != 1)
        return false;
    const double end = list.index[last] + 1.0;
    for (int k = 1; k < last; ++k) {
        if (list.typeDigit[k] != 1 || list.reflectance[k] < list.reflectance[last])
            continue;
        const double source = list.index[k] + 1.0;
        for (int multiple : {2, 3}) {
            // The echo's path runs through the instrument's own connectors too: it lands up to
            // a few tenths of a percent off the multiple.
            if (std::abs(end - multiple * source) <= static_cast<double>(g.settle + 2) + 0.003 * end) {
                list.codeLetter[k] = 'E';
                for (int j = k + 1; j < list.count; ++j) {
                    list.index[j] = 0;
                    list.codeLetter[j] = 0;
                }
                list.count = k + 1;
                return true;
            }
        }
    }
    return false;
}

void removeEntry(EventList &list, int k)
{
    for (int j = k; j + 1 < list.count; ++j) {
        list.index[j] = list.index[j + 1];
        list.codeLetter[j] = list.codeLetter[j + 1];
        list.typeDigit[j] = list.typeDigit[j + 1];
        list.loss[j] = list.loss[j + 1];
        list.reflectance[j] = list.reflectance[j + 1];
        list.attenuation[j] = list.attenuation[j + 1];
    }
    --list.count;
    list.index[list.count] = 0;
    list.codeLetter[list.count] = 0;
}

// A fall into the noise inside the dead zone of a reflection before it is that reflection's
// tail: the reflection is the fibre's end (a connector or a cleaved end), and what was found
// in its tail is the tail too. True when it was.
bool endInReflection(EventList &list, const Context &c, double slope)
{
    const int last = list.count - 1;
    if (last < 2 || list.codeLetter[last] != 'E')
        return false;
    // The reflection: the event before the end, or before a few found in its tail.
    int r = last - 1;
    while (r > 1 && list.typeDigit[r] != 1 && list.codeLetter[r] == 'F' && last - r < 4)
        --r;
    if (list.typeDigit[r] != 1 || list.codeLetter[r] != 'F')
        return false;
    const int64_t reflection = list.index[r];
    if (deadZoneEnd(c, reflection, c.samples.count) < list.index[last])
        return false;
    // Backscatter that runs with the fibre's slope between them is fibre: the reflection is a
    // connector on it, and the end lies further on (a long pulse's dead zone, measured past
    // the end, reaches beyond it).
    const auto p = static_cast<int64_t>(std::ceil(c.geometry.pulseSamples));
    const int64_t from = reflection + c.geometry.settle + p;
    const int64_t to = list.index[last] - c.geometry.guardBefore;
    if (to - from >= 16) {
        const Line fit = fitLine(c.samples, from, to);
        const Line before = fitLine(c.samples, std::max<int64_t>(0, reflection - 4 * p - 16), reflection - c.geometry.guardBefore);
        const bool quiet = fit.rms <= 3.0 * before.rms + 0.02;
        if (quiet && runsWithFibre(fit, slope))
            return false;
    }
    while (list.count - 1 > r)
        removeEntry(list, list.count - 1);
    list.codeLetter[r] = 'E';
    return true;
}

// Events measured against a section that falls far faster than the fibre (three times its
// attenuation and 1 dB/km more) lie in the launch's recovery, not on the fibre: they are not
// reported. True when one was dropped.
bool dropLaunchEvents(EventList &list, double fibreDbKm)
{
    const double steepest = 3.0 * std::max(fibreDbKm, 0.0) + 1.0;
    bool dropped = false;
    while (list.count > 2 && list.codeLetter[1] == 'F' && list.attenuation[1] > steepest) {
        removeEntry(list, 1);
        dropped = true;
    }
    return dropped;
}

// An end is preceded by fibre. Where the stretch before the end falls far faster than the
// fibre attenuates (a receiver recovering from the end's reflection), the fibre ended at the
// event before it. True when the end moved.
bool endAfterFibre(EventList &list, double fibreDbKm)
{
    const double steepest = 3.0 * std::max(fibreDbKm, 0.0) + 1.0;
    bool moved = false;
    while (list.count > 2 && list.codeLetter[list.count - 1] == 'E' && list.codeLetter[list.count - 2] == 'F' &&
           std::abs(list.attenuation[list.count - 1]) > steepest) {
        removeEntry(list, list.count - 1);
        list.codeLetter[list.count - 1] = 'E';
        moved = true;
    }
    return moved;
}

} // namespace

void detectEvents(EventList &list, const Context &c, const Thresholds &t)
{
    const Samples &s = c.samples;
    const Geometry &g = c.geometry;
    const auto p = static_cast<int64_t>(std::ceil(g.pulseSamples));
    // Steps are compared over two pulses, so that events a few pulses apart stay apart; the
    // fall into the noise over four, where the noise is large.
    const int64_t window = std::max<int64_t>(12, 2 * p);
    const int64_t endWindow = std::max<int64_t>(16, 4 * p);
    const int64_t gap = g.settle + g.guardBefore;
    const int64_t block = std::max<int64_t>(256, 4 * window);
    const LevelSums sums(s);
    const std::vector<double> noise = blockNoise(s, block);

    appendEvent(list, 0, 'S');
    int64_t launchEnd = deadZoneEnd(c, 0, s.count);
    // Nothing past the fall into the noise is reported, whatever the end threshold: a threshold
    // larger than the fall (files store up to 20 dB) only decides which losses end the fibre.
    const int64_t rough = findEnd(s, sums, endWindow, launchEnd, std::min(t.endDb, 6.0));
    int64_t end = rough;
    // Fibre slope, to take the attenuation out of the step statistic: the median of block
    // slopes, which the events (a few blocks) do not tilt as they would one fit over everything.
    const double slope = fibreSlope(s, launchEnd, end >= 0 ? end - g.guardBefore : s.count, 4 * (endWindow + gap));
    launchEnd = launchRecoveryEnd(c, launchEnd, end >= 0 ? end : s.count, slope, endWindow);
    launchEnd = launchFibreEnd(c, launchEnd, slope);
    if (end >= 0)
        end = refineEnd(c, end, launchEnd, slope, endWindow, t.endDb);
    // The scan runs on to where the level is already in the noise, so that the end's own peak
    // or fall is found and measured like any event.
    const int64_t scanLast = (rough >= 0 ? std::min(s.count, rough + endWindow) : s.count) - gap - window;

    // A reflection shows as a peak this high for the threshold reflectance.
    const double peakThreshold =
        5.0 * std::log10(1.0 + std::pow(10.0, (t.reflectanceDb - c.backscatterDb - 10.0 * std::log10(std::max(1, g.pulseWidthNs))) / 10.0));

    // The step statistic everywhere, then its own spread block by block: real traces are
    // smoothed and their noise grows along the fibre, so the spread of the statistic itself
    // (robust to the few events a block holds) is what a step must stand out of.
    const int64_t first = launchEnd + window;
    const int64_t count = std::max<int64_t>(0, scanLast - first);
    std::vector<double> steps(static_cast<size_t>(count));
    for (int64_t i = first; i < scanLast; ++i) {
        const double left = sums.mean(i - window, i);
        const double right = sums.mean(i + gap, i + gap + window);
        steps[static_cast<size_t>(i - first)] = left - right + slope * static_cast<double>(window + gap);
    }
    const int64_t stepBlock = std::max<int64_t>(512, 16 * (window + gap));
    std::vector<double> stepNoise;
    {
        std::vector<double> deviations;
        for (int64_t b = 0; b < count; b += stepBlock) {
            const int64_t e = std::min(count, b + stepBlock);
            deviations.assign(steps.begin() + b, steps.begin() + e);
            const double centre = median(deviations);
            for (double &d : deviations)
                d = std::abs(d - centre);
            stepNoise.push_back(1.4826 * median(deviations));
        }
    }

    std::vector<int64_t> found;
    int64_t runStart = -1;
    int64_t runEnd = -1;
    double runStep = 0.0;
    double runBest = 0.0;
    int64_t runBestAt = -1;
    const auto closeRun = [&]() {
        if (runStart < 0)
            return;
        const int64_t floor = found.empty() ? launchEnd : deadZoneEnd(c, found.back(), runStart);
        const int64_t foot = edgeStart(c, runStart, runEnd + g.settle, floor, runStep);
        // The statistic is largest while the ramp lies within the gap between its windows.
        const int64_t at = placeStep(c, sums, foot, runBestAt + gap / 2, floor);
        if (found.empty() || at > found.back() + g.settle)
            found.push_back(at);
        runStart = -1;
        runStep = 0.0;
        runBest = 0.0;
    };
    for (int64_t i = first; i < scanLast; ++i) {
        const double sigma = noise[static_cast<size_t>(i / block)];
        const double step = steps[static_cast<size_t>(i - first)];
        const double left = sums.mean(i - window, i);
        const double peak = s.level(i) - left;
        // The spread of the statistic counts the events themselves where they lie close
        // together on a clean trace (long pulses, much averaging); it is taken as at most this
        // many times what the sample noise gives a difference of two window means.
        const double meanSigma = sigma * std::sqrt(2.0 / static_cast<double>(window));
        const double stepSigma =
            std::max(std::min(stepNoise[static_cast<size_t>((i - first) / stepBlock)], maxSpreadOverNoise * meanSigma), meanSigma);
        const bool isStep = std::abs(step) >= std::max(t.lossDb, stepSigmas * stepSigma);
        const bool isPeak = peak >= std::max(peakThreshold, 5.0 * sigma);
        if (isStep || isPeak) {
            if (runStart < 0)
                runStart = i;
            runEnd = i;
            runStep = std::max({runStep, std::abs(step), isPeak ? peak : 0.0});
            if (std::abs(step) > runBest || runBestAt < runStart) {
                runBest = std::abs(step);
                runBestAt = i;
            }
        } else {
            closeRun();
        }
    }
    closeRun();

    for (int64_t index : found) {
        if (list.count >= EventList::capacity - 1)
            break;
        // Past the end's own disturbance there is only the noise.
        if (end >= 0 && index > end + g.settle)
            break;
        if (index > list.index[list.count - 1])
            appendEvent(list, index, 'F');
    }
    if (end > list.index[list.count - 1] + g.settle)
        appendEvent(list, end, 'E');
    else if (end >= 0 && list.count > 1) {
        // The end's own edge, where the level first leaves the backscatter, may lie ahead of
        // where the scan placed that event (past a reflection's peak, at its fall).
        const int k = list.count - 1;
        if (end < list.index[k] && end > list.index[k - 1] + g.settle)
            list.index[k] = static_cast<int32_t>(end);
        list.codeLetter[k] = 'E';
    }
    // A trace that never falls into the noise ends inside the fibre: its last sample is where the
    // acquisition ran out of range, reported as such (code letter O), as instruments do.
    if (end < 0 && list.count < EventList::capacity && s.count - 1 > list.index[list.count - 1] + g.settle)
        appendEvent(list, s.count - 1, 'O');

    measureAll(list, c);
    // Drop what measures below both thresholds, then measure again without it.
    EventList kept = list;
    kept.count = 0;
    for (int k = 0; k < list.count; ++k) {
        const bool significant = std::abs(list.loss[k]) >= t.lossDb ||
                                 (list.typeDigit[k] == 1 && list.reflectance[k] >= t.reflectanceDb);
        // A fall into the noise that the scan found a little ahead of the end found at it is
        // the same fall: the end's own edge places it.
        if (list.codeLetter[k] == 'F' && list.typeDigit[k] == 0 && list.loss[k] >= t.endDb &&
            list.codeLetter[list.count - 1] == 'E' && list.index[list.count - 1] - list.index[k] <= window + gap)
            continue;
        if (list.codeLetter[k] != 'F' || significant) {
            const int j = kept.count++;
            kept.index[j] = list.index[k];
            kept.codeLetter[j] = list.codeLetter[k];
        }
        // The first loss of the end threshold or more ends the fibre: what follows is the
        // light that still comes back past a break, never part of the link.
        if (list.codeLetter[k] == 'F' && list.loss[k] >= t.endDb) {
            kept.codeLetter[kept.count - 1] = 'E';
            break;
        }
    }
    for (int j = kept.count; j < EventList::capacity; ++j) {
        kept.index[j] = 0;
        kept.codeLetter[j] = 0;
    }
    list = kept;
    measureAll(list, c);
    const double fibreDbKm = -slope / g.spacingM * 1000.0;
    bool changed = endIsGhost(list, g);
    changed = endInReflection(list, c, slope) || changed;
    changed = dropLaunchEvents(list, fibreDbKm) || changed;
    changed = endAfterFibre(list, fibreDbKm) || changed;
    if (changed)
        measureAll(list, c);
    // Between the launch and a fibre end hundreds of metres on, the level falls faster than
    // any fibre attenuates (5 dB/km): no fibre is connected, and what fell was the launch's own
    // tail. The link ends at the front connector, where the launch's reflection rises. (A patch
    // cord of tens of metres, its end reflection's tail all there is, is fibre.)
    const int lastEvent = list.count - 1;
    if (rough >= 0 && fibreDbKm > 5.0 && lastEvent >= 1 && list.codeLetter[lastEvent] == 'E' &&
        static_cast<double>(list.index[lastEvent]) * g.spacingM > 300.0) {
        EventList none = resetEventList();
        appendEvent(none, 0, 'S');
        appendEvent(none, noFibreEnd(s, launchEnd), 'E');
        measureAll(none, c);
        list = none;
    }
    accumulateTotals(list, g.spacingM, nullptr);
}

} // namespace qm7
