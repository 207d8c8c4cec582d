#include "trace/TraceData.h"

#include "trace/SorMath.h"
#include "trace/TraceMapping.h"

#include <algorithm>

TraceData::TraceData() : eventList(resetEventList()) {}

void copyEventsToList(const std::vector<TraceEvent> &events, size_t count, EventList &list, bool withTotalLoss)
{
    count = std::min({count, events.size(), static_cast<size_t>(EventList::capacity)});
    list.count = static_cast<int32_t>(count);
    for (size_t i = 0; i < count; ++i) {
        const TraceEvent &e = events[i];
        list.index[i] = e.index;
        list.typeDigit[i] = e.typeDigit;
        list.reflectance[i] = e.reflectance;
        list.loss[i] = e.loss;
        list.attenuation[i] = e.attenuation;
        if (withTotalLoss)
            list.totalLoss[i] = e.totalLoss;
        list.codeLetter[i] = e.codeLetter;
        list.auxValue1 = e.auxValue1;
        list.auxValue2 = e.auxValue2;
    }
}

void eventsToEventList(TraceData &trace)
{
    if (trace.events.size() > static_cast<size_t>(EventList::capacity))
        return;
    copyEventsToList(trace.events, trace.events.size(), trace.eventList, true);
}

void eventListToEvents(TraceData &trace)
{
    const std::vector<TraceEvent> before = std::move(trace.events);
    trace.events.clear();
    const EventList &list = trace.eventList;
    const TraceMapping mapping = TraceMapping::of(trace);
    const int count = list.count < EventList::capacity ? list.count : EventList::capacity;
    for (int i = 0; i < count; ++i) {
        TraceEvent e;
        e.index = list.index[i];
        e.typeDigit = list.typeDigit[i];
        e.codeLetter = list.codeLetter[i];
        e.distance = mapping.sampleDistance(list.index[i]);
        e.loss = list.loss[i];
        e.reflectance = list.reflectance[i];
        e.attenuation = list.attenuation[i];
        e.totalLoss = list.totalLoss[i];
        e.auxValue1 = list.auxValue1;
        e.auxValue2 = list.auxValue2;
        trace.events.push_back(e);
    }
    keepUntouchedDistances(before, trace.events);
}

void keepUntouchedDistances(const std::vector<TraceEvent> &before, std::vector<TraceEvent> &after)
{
    // Both lists are in distance order: walk them together. An event at the same sample with
    // the same kind is the one the file (or an earlier edit) placed there.
    size_t j = 0;
    for (TraceEvent &e : after) {
        while (j < before.size() && before[j].index < e.index)
            ++j;
        for (size_t k = j; k < before.size() && before[k].index == e.index; ++k) {
            if (before[k].typeDigit == e.typeDigit && before[k].codeLetter == e.codeLetter) {
                e.distance = before[k].distance;
                break;
            }
        }
    }
}

void libraryTotalLosses(TraceData &trace, QM7ZZZ_Acount_Total_Loss_fn totalLoss)
{
    std::vector<TraceEvent> &events = trace.events;
    // The library reads samples at the event indices; without samples it is not called.
    const bool call = totalLoss && trace.sampleCount > 0;
    constexpr size_t capacity = EventList::capacity;
    if (events.size() <= capacity) {
        EventList list = resetEventList();
        copyEventsToList(events, events.size(), list, false);
        if (call)
            totalLoss(trace.wavelengthNm, trace.pulseWidthNs, trace.samples.data(), &list, trace.refractiveIndex,
                      trace.samplingFrequencyMHz);
        for (size_t i = 0; i < events.size(); ++i)
            events[i].totalLoss = list.totalLoss[i];
        return;
    }
    // A longer trace goes in windows of the list's size. Each window after the first starts with
    // the previous window's last event, stripped of its loss, so that the library measures the
    // next section from it; the sums carry on from that event's cumulative loss. A window
    // that is not the last ends with the trace's last event, so the library reads as far along
    // the samples as it would for the whole list; that entry's result is not kept.
    float carried = 0.0f;
    size_t next = 0; // first event whose cumulative loss is not known yet
    while (next < events.size()) {
        std::vector<TraceEvent> window;
        if (next > 0) {
            TraceEvent anchor = events[next - 1];
            anchor.loss = 0.0f;
            window.push_back(anchor);
        }
        const size_t room = capacity - window.size() - 1;
        const bool last = events.size() - next <= room + 1;
        const size_t take = last ? events.size() - next : room;
        window.insert(window.end(), events.begin() + static_cast<std::ptrdiff_t>(next),
                      events.begin() + static_cast<std::ptrdiff_t>(next + take));
        if (!last)
            window.push_back(events.back());
        EventList list = resetEventList();
        copyEventsToList(window, window.size(), list, false);
        if (call)
            totalLoss(trace.wavelengthNm, trace.pulseWidthNs, trace.samples.data(), &list, trace.refractiveIndex,
                      trace.samplingFrequencyMHz);
        // The anchor's own value (the section from the start to it) is already in `carried`.
        const size_t first = next > 0 ? 1 : 0;
        const float base = next > 0 ? list.totalLoss[0] : 0.0f;
        for (size_t i = 0; i < take; ++i)
            events[next + i].totalLoss = carried + (list.totalLoss[first + i] - base);
        carried = events[next + take - 1].totalLoss;
        next += take;
    }
}
