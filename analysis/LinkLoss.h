#pragma once

#include <cmath>

// The cumulative-loss rule, shared by the event library and the trace loader so that a trace's
// totals are the same whether the file, the library or an edit formed them.
//
// An event's cumulative loss is the fibre loss of the sections up to it (attenuation times
// section length) plus the stored losses of the events up to it that are losses of the link.
// Not losses of the link: the fibre end's own loss (the drop into the noise) and anything past
// the fibre end; a level the instrument stored in the loss field, which shows as a gain of more
// than 5 dB anywhere (no splice gains that much) or as more than 5 dB either way on an event of
// the first 10 m (the launch level, e.g. -13.9 dB or +24.6 dB, sometimes twice).
namespace linkloss {

inline constexpr double startZoneM = 10.0;     // m from the trace start
inline constexpr double storedLevelDb = 5.0;   // dB

// The fibre end among `count` events, `letterAt(i)` and `distanceAt(i)` (m) giving each one's code
// letter and place: the first event with letter 'E' past the start zone, else the last event; -1
// when there are none. An 'E' inside the start zone with events after it marks the saturated
// front connector some instruments write, not the end.
template <class LetterAt, class DistanceAt>
int fibreEnd(int count, LetterAt letterAt, DistanceAt distanceAt)
{
    for (int i = 0; i < count; ++i)
        if (letterAt(i) == 'E' && (distanceAt(i) > startZoneM || i == count - 1))
            return i;
    return count - 1;
}

// Whether the stored loss of event `i` (at `distanceM`) counts toward the cumulative loss.
inline bool isLinkLoss(int i, int fibreEndIndex, double distanceM, double lossDb)
{
    if (fibreEndIndex >= 0 && i >= fibreEndIndex)
        return false;
    if (!std::isfinite(lossDb) || lossDb < -storedLevelDb)
        return false;
    return !(distanceM <= startZoneM && std::fabs(lossDb) > storedLevelDb);
}

// Whether event `i` at `distanceM` is the start event: the first event, at the trace start. Its
// stored loss is the front connector's or a launch level, never an event of the link's own.
inline bool isStartEvent(int i, double distanceM) { return i == 0 && distanceM <= startZoneM; }

// Whether the fibre section ending at event `i` adds to the cumulative loss.
inline bool sectionCounts(int i, int fibreEndIndex) { return fibreEndIndex < 0 || i <= fibreEndIndex; }

} // namespace linkloss
