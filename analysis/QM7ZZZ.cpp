#include "analysis/QM7ZZZ.h"

#include "analysis/EventDetect.h"
#include "analysis/EventListEdit.h"

#include <cmath>

// Every entry catches whatever its work throws: nothing may unwind across the C boundary.

namespace {

double backscatterOrDefault(float backscatterDb, int32_t wavelengthNm)
{
    // Files that do not carry the coefficient hold 0; a positive value is not physical.
    if (std::isfinite(backscatterDb) && backscatterDb < 0.0f)
        return backscatterDb;
    return qm7::defaultBackscatter(wavelengthNm);
}

} // namespace

extern "C" {

QM7ZZZ_API EventList QM7ZZZ_deleteEvent(int32_t eventNumber, const uint16_t *samples, int32_t /*is1550*/,
                                        int32_t pulseWidthNs, EventList list, float refractiveIndex,
                                        float samplingFrequencyMHz, float /*unused*/)
{
    try {
        const auto geometry = qm7::makeGeometry(refractiveIndex, samplingFrequencyMHz, pulseWidthNs);
        if (!samples || !geometry || !qm7::countValid(list) || eventNumber < 0)
            return list;
        qm7::Context context;
        // No sample count comes with a delete: read no further than the last event.
        context.samples = {samples, qm7::readLimit(list)};
        context.geometry = *geometry;
        context.guardAtEnd = true;
        EventList result = list;
        // Row 0 of the event list shows the event after the start event.
        if (qm7::removeEvent(result, eventNumber + 1, context))
            return result;
    } catch (...) {
    }
    return list;
}

QM7ZZZ_API EventList QM7ZZZ_insertEvent(int32_t index, const uint16_t *samples, int32_t wavelengthNm,
                                        int32_t pulseWidthNs, uint32_t sampleCount, EventList list,
                                        float refractiveIndex, float samplingFrequencyMHz,
                                        float backscatterDb)
{
    try {
        const auto geometry = qm7::makeGeometry(refractiveIndex, samplingFrequencyMHz, pulseWidthNs);
        if (!samples || !geometry || !qm7::countValid(list) || index < 0 || static_cast<uint32_t>(index) >= sampleCount)
            return list;
        qm7::Context context;
        context.samples = {samples, static_cast<int64_t>(sampleCount)};
        context.geometry = *geometry;
        context.backscatterDb = backscatterOrDefault(backscatterDb, wavelengthNm);
        EventList result = list;
        if (qm7::insertEvent(result, index, context))
            return result;
    } catch (...) {
    }
    return list;
}

QM7ZZZ_API void QM7ZZZ_Acount_Total_Loss(int32_t /*wavelengthNm*/, int32_t pulseWidthNs, const uint16_t *samples,
                                         EventList *list, float refractiveIndex, float samplingFrequencyMHz)
{
    try {
        const auto geometry = qm7::makeGeometry(refractiveIndex, samplingFrequencyMHz, pulseWidthNs);
        if (!list || !geometry || !qm7::countValid(*list))
            return;
        qm7::Context context;
        context.samples = {samples, samples ? qm7::readLimit(*list) : 0};
        context.geometry = *geometry;
        context.guardAtEnd = true;
        EventList result = *list;
        qm7::accumulateTotals(result, geometry->spacingM, samples ? &context : nullptr);
        *list = result;
    } catch (...) {
    }
}

QM7ZZZ_API EventList QM7ZZZ_Event_Analysis(const uint16_t *samples, uint32_t sampleCount, int32_t wavelengthNm,
                                           int32_t pulseWidthNs, float refractiveIndex,
                                           float samplingFrequencyMHz, float lossThresholdDb,
                                           float reflectanceThresholdDb, float endThresholdDb,
                                           float backscatterDb)
{
    EventList empty = resetEventList();
    try {
        const auto geometry = qm7::makeGeometry(refractiveIndex, samplingFrequencyMHz, pulseWidthNs);
        if (!samples || !geometry || sampleCount == 0)
            return empty;
        qm7::Context context;
        context.samples = {samples, static_cast<int64_t>(sampleCount)};
        context.geometry = *geometry;
        context.backscatterDb = backscatterOrDefault(backscatterDb, wavelengthNm);
        qm7::Thresholds thresholds;
        if (std::isfinite(lossThresholdDb) && lossThresholdDb > 0.0f)
            thresholds.lossDb = lossThresholdDb;
        // Files store the reflectance threshold unsigned: 65 stands for -65 dB.
        if (std::isfinite(reflectanceThresholdDb) && reflectanceThresholdDb != 0.0f)
            thresholds.reflectanceDb = -std::abs(reflectanceThresholdDb);
        if (std::isfinite(endThresholdDb) && endThresholdDb > 0.0f)
            thresholds.endDb = endThresholdDb;
        EventList result = empty;
        qm7::detectEvents(result, context, thresholds);
        return result;
    } catch (...) {
    }
    return empty;
}

QM7ZZZ_API int32_t QM7ZZZ_algorithm_Version(void)
{
    return 10000; // 1.0.0
}

} // extern "C"
