#include "trace/EventEditing.h"

#include "trace/CumulativeLoss.h"

#include <QLoggingCategory>

#include <algorithm>
#include <exception>

Q_LOGGING_CATEGORY(lcEventEditing, "lumidor.eventediting")

namespace {

// Takes the library's answer when it is a list the trace can hold.
bool adopt(TraceData &trace, const EventList &result)
{
    if (result.count < 0 || result.count > EventList::capacity) {
        qCWarning(lcEventEditing) << "event library returned an invalid event count" << result.count;
        return false;
    }
    trace.eventList = result;
    eventListToEvents(trace);
    // The library forms the totals by the rule; the stored end-to-end loss decides as on load.
    reconcileWithStoredLoss(trace);
    copyEventsToList(trace.events, trace.events.size(), trace.eventList, true);
    return true;
}

// The sample count the library may rely on: never more than the samples actually held.
uint32_t readableCount(const TraceData &trace)
{
    return static_cast<uint32_t>(std::min<size_t>(trace.sampleCount, trace.samples.size()));
}

// A delete tells the library no sample count: it reads up to the largest event index, which
// must therefore lie inside the samples held.
bool indicesWithinSamples(const TraceData &trace)
{
    const EventList &list = trace.eventList;
    const int count = std::clamp(list.count, 0, EventList::capacity);
    const uint32_t readable = readableCount(trace);
    for (int i = 0; i < count; ++i)
        if (list.index[i] >= 0 && static_cast<uint32_t>(list.index[i]) >= readable)
            return false;
    return true;
}

} // namespace

bool editableByLibrary(const TraceData &trace)
{
    return trace.events.size() <= static_cast<size_t>(EventList::capacity);
}

bool insertEventAt(TraceData &trace, int32_t sampleIndex, const EventAnalysisBinding &binding)
{
    if (trace.events.empty() || !editableByLibrary(trace))
        return false;
    if (!binding.insertEvent)
        return adopt(trace, fallbackEventList);
    EventList result;
    try {
        result = binding.insertEvent(sampleIndex, trace.samples.data(), trace.wavelengthNm, trace.pulseWidthNs,
                                     readableCount(trace), trace.eventList, trace.refractiveIndex,
                                     trace.samplingFrequencyMHz, trace.backscatter);
    } catch (const std::exception &e) {
        qCWarning(lcEventEditing) << "adding an event failed:" << e.what();
        return false;
    } catch (...) {
        qCWarning(lcEventEditing) << "adding an event failed";
        return false;
    }
    return adopt(trace, result);
}

bool deleteEventRow(TraceData &trace, int row, const EventAnalysisBinding &binding)
{
    if (row < 0 || row > trace.eventList.count || !editableByLibrary(trace))
        return false;
    if (!binding.deleteEvent)
        return adopt(trace, fallbackEventList);
    if (!indicesWithinSamples(trace)) {
        qCWarning(lcEventEditing) << "event list points beyond the samples; delete abandoned";
        return false;
    }
    EventList result;
    try {
        result = binding.deleteEvent(row, trace.samples.data(), trace.wavelengthNm == 1550 ? 1 : 0,
                                     trace.pulseWidthNs, trace.eventList, trace.refractiveIndex,
                                     trace.samplingFrequencyMHz, 0.0f);
    } catch (const std::exception &e) {
        qCWarning(lcEventEditing) << "deleting an event failed:" << e.what();
        return false;
    } catch (...) {
        qCWarning(lcEventEditing) << "deleting an event failed";
        return false;
    }
    return adopt(trace, result);
}
