#include "trace/TraceAnalysis.h"

#include <algorithm>

AnalysisThresholds effectiveThresholds(const TraceData &trace, const AnalysisThresholds &requested)
{
    AnalysisThresholds t;
    t.lossDb = requested.lossDb.value_or(trace.lossThreshold);
    t.reflectanceDb = requested.reflectanceDb.value_or(trace.reflectanceThreshold);
    t.endDb = requested.endDb.value_or(trace.endThreshold);
    return t;
}

bool analyzeTrace(TraceData &trace, QM7ZZZ_Event_Analysis_fn analysis, const AnalysisThresholds &thresholds)
{
    if (!analysis || trace.samples.empty() || trace.sampleCount == 0)
        return false;
    const AnalysisThresholds t = effectiveThresholds(trace, thresholds);
    const auto count = static_cast<uint32_t>(std::min<size_t>(trace.samples.size(), trace.sampleCount));
    const EventList found = analysis(trace.samples.data(), count, trace.wavelengthNm, trace.pulseWidthNs,
                                     trace.refractiveIndex, trace.samplingFrequencyMHz, *t.lossDb,
                                     *t.reflectanceDb, *t.endDb, trace.backscatter);
    if (found.count <= 0)
        return false;
    trace.eventList = found;
    eventListToEvents(trace);
    trace.eventsFromAnalysis = true;
    return true;
}

bool analyzeIfNoEvents(TraceData &trace, QM7ZZZ_Event_Analysis_fn analysis)
{
    if (!trace.events.empty())
        return false;
    return analyzeTrace(trace, analysis, {});
}
