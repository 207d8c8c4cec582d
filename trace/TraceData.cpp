#include "trace/TraceData.h"

#include "trace/SorMath.h"

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
    trace.events.clear();
    const EventList &list = trace.eventList;
    // 299792448 is the single-precision value nearest to the speed of light.
    const float spacing = 299792448.0f / trace.refractiveIndex / trace.samplingFrequencyMHz / 1000000.0f * 0.5f;
    const int count = list.count < EventList::capacity ? list.count : EventList::capacity;
    for (int i = 0; i < count; ++i) {
        TraceEvent e;
        e.index = list.index[i];
        e.typeDigit = list.typeDigit[i];
        e.codeLetter = list.codeLetter[i];
        // The library's index is any 32-bit value: the + 1 wraps as 32-bit arithmetic does.
        e.distance = static_cast<float>(sormath::wrapAdd(list.index[i], 1)) * spacing;
        e.loss = list.loss[i];
        e.reflectance = list.reflectance[i];
        e.attenuation = list.attenuation[i];
        e.totalLoss = list.totalLoss[i];
        e.auxValue1 = list.auxValue1;
        e.auxValue2 = list.auxValue2;
        trace.events.push_back(e);
    }
}

double tenToTheTenth()
{
    // 10^10 by repeated squaring in double: 10^2, 10^4, 10^8, times 10^2. Exact.
    const double p2 = 10.0 * 10.0;
    const double p4 = p2 * p2;
    const double p8 = p4 * p4;
    return p8 * p2;
}
