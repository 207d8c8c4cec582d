#include "analysis/EventListEdit.h"

#include "analysis/LinkLoss.h"

#include <algorithm>
#include <cmath>

namespace qm7 {

namespace {

// The fibre end: the level after it is noise, so its loss is not re-measured.
bool isFibreEnd(const EventList &list, int k) { return list.codeLetter[k] == 'E'; }

double slopeFromAttenuation(float attenuationDbPerKm, double spacingM)
{
    return std::isfinite(attenuationDbPerKm) ? -attenuationDbPerKm * spacingM / 1000.0 : 0.0;
}

// Re-measures an existing event whose surrounding sections changed.
void remeasure(EventList &list, int k, const Context &c, bool attenuationToo)
{
    if (k < 0 || k >= list.count)
        return;
    const Measurement m = measureAt(c, list.index[k], neighboursOf(list, k, c),
                                    slopeFromAttenuation(list.attenuation[k], c.geometry.spacingM));
    if (m.lossValid && !isFibreEnd(list, k))
        list.loss[k] = static_cast<float>(m.loss);
    if (attenuationToo && m.attenuationValid)
        list.attenuation[k] = static_cast<float>(m.attenuation);
}

void moveEntry(EventList &list, int from, int to)
{
    list.index[to] = list.index[from];
    list.typeDigit[to] = list.typeDigit[from];
    list.reflectance[to] = list.reflectance[from];
    list.loss[to] = list.loss[from];
    list.attenuation[to] = list.attenuation[from];
    list.totalLoss[to] = list.totalLoss[from];
    list.codeLetter[to] = list.codeLetter[from];
}

// The totals of an edited list are formed as a load forms them: sections without an attenuation
// measured from the samples up to the last event.
Context totalsContext(const EventList &list, const Context &c)
{
    Context t = c;
    t.samples.count = std::min(c.samples.count, readLimit(list));
    t.guardAtEnd = true;
    return t;
}

} // namespace

Neighbours neighboursOf(const EventList &list, int k, const Context &c)
{
    Neighbours n;
    if (k > 0)
        n.previous = list.index[k - 1];
    n.next = c.samples.count;
    n.nextIsEvent = c.guardAtEnd;
    n.afterNext = c.samples.count;
    n.afterNextIsEvent = c.guardAtEnd;
    if (k + 1 < list.count) {
        n.next = list.index[k + 1];
        n.nextIsEvent = true;
    }
    if (k + 2 < list.count) {
        n.afterNext = list.index[k + 2];
        n.afterNextIsEvent = true;
    }
    return n;
}

bool countValid(const EventList &list)
{
    return list.count >= 0 && list.count <= EventList::capacity;
}

int64_t readLimit(const EventList &list)
{
    int64_t limit = 0;
    const int n = countValid(list) ? list.count : 0;
    for (int i = 0; i < n; ++i)
        limit = std::max<int64_t>(limit, static_cast<int64_t>(list.index[i]) + 1);
    return limit;
}

bool insertEvent(EventList &list, int64_t index, const Context &c)
{
    if (!countValid(list) || list.count >= EventList::capacity)
        return false;
    int pos = list.count;
    for (int i = 0; i < list.count; ++i) {
        if (list.index[i] == index)
            return false;
        if (list.index[i] > index) {
            pos = i;
            break;
        }
    }
    // The new event splits the section that ended at the event now after it; until measured
    // it shares that section's attenuation.
    const float splitAttenuation = pos < list.count ? list.attenuation[pos] : (pos > 0 ? list.attenuation[pos - 1] : 0.0f);
    for (int i = list.count; i > pos; --i)
        moveEntry(list, i - 1, i);
    ++list.count;
    list.index[pos] = static_cast<int32_t>(index);
    list.typeDigit[pos] = 0;
    list.codeLetter[pos] = 'A';
    list.loss[pos] = 0.0f;
    list.reflectance[pos] = 0.0f;
    list.attenuation[pos] = splitAttenuation;
    list.totalLoss[pos] = 0.0f;

    const Measurement m = measureAt(c, index, neighboursOf(list, pos, c),
                                    slopeFromAttenuation(splitAttenuation, c.geometry.spacingM));
    if (m.lossValid)
        list.loss[pos] = static_cast<float>(m.loss);
    if (m.attenuationValid)
        list.attenuation[pos] = static_cast<float>(m.attenuation);
    if (m.reflective) {
        list.typeDigit[pos] = 1;
        list.reflectance[pos] = static_cast<float>(m.reflectance);
    }
    remeasure(list, pos - 1, c, false);
    remeasure(list, pos + 1, c, true);
    const Context totals = totalsContext(list, c);
    accumulateTotals(list, c.geometry.spacingM, &totals);
    return true;
}

bool removeEvent(EventList &list, int entry, const Context &c)
{
    if (!countValid(list) || entry < 1 || entry >= list.count)
        return false;
    for (int i = entry; i + 1 < list.count; ++i)
        moveEntry(list, i + 1, i);
    --list.count;
    list.index[list.count] = 0;
    list.typeDigit[list.count] = 0;
    list.reflectance[list.count] = 0.0f;
    list.loss[list.count] = 0.0f;
    list.attenuation[list.count] = 0.0f;
    list.totalLoss[list.count] = 0.0f;
    list.codeLetter[list.count] = 0;
    remeasure(list, entry - 1, c, false);
    remeasure(list, entry, c, true);
    const Context totals = totalsContext(list, c);
    accumulateTotals(list, c.geometry.spacingM, &totals);
    return true;
}

void accumulateTotals(EventList &list, double spacingM, const Context *c)
{
    if (!countValid(list))
        return;
    const int end = linkloss::fibreEnd(
        list.count, [&list](int i) { return list.codeLetter[i]; },
        [&list, spacingM](int i) { return (static_cast<double>(list.index[i]) + 1.0) * spacingM; });
    double total = 0.0;
    for (int i = 0; i < list.count; ++i) {
        // Past the fibre end nothing adds: those events keep the end's total.
        if (linkloss::sectionCounts(i, end)) {
            const int64_t from = i == 0 ? -1 : list.index[i - 1];
            const double lengthKm = std::max<int64_t>(list.index[i] - from, 0) * spacingM / 1000.0;
            double attenuation = std::isfinite(list.attenuation[i]) ? list.attenuation[i] : 0.0;
            if (attenuation == 0.0 && i > 0 && c) {
                Neighbours around;
                around.previous = from;
                around.next = c->samples.count;
                const Measurement m = measureAt(*c, list.index[i], around, 0.0);
                if (m.attenuationValid)
                    attenuation = m.attenuation;
            }
            total += attenuation * lengthKm;
            const double distanceM = (static_cast<double>(list.index[i]) + 1.0) * spacingM;
            if (linkloss::isLinkLoss(i, end, distanceM, list.loss[i]))
                total += list.loss[i];
        }
        list.totalLoss[i] = static_cast<float>(total);
    }
}

} // namespace qm7
