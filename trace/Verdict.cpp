#include "trace/Verdict.h"

#include "trace/TraceSet.h"

#include <cmath>

int ComputeVerdict(const TraceData *trace, const PassThresholds &t)
{
    if (!trace || trace->events.empty())
        return VerdictNone;

    int v = VerdictNone;
    // A fail holds over any earlier result; a pass never replaces a fail or an incomplete;
    // a missing value (zero) marks the verdict incomplete, even over a fail.
    const auto fail = [&v](bool on) {
        if (on)
            v = VerdictFail;
    };
    const auto pass = [&v](bool on) {
        if (on && v != VerdictFail && v != VerdictIncomplete)
            v = VerdictPass;
    };
    const auto judge = [&](bool failed, bool on) { failed ? fail(on) : pass(on); };

    const float avgLimit = attenuationLimit(t, trace->wavelengthNm);
    const size_t n = trace->events.size();
    for (size_t i = 0; i < n; ++i) {
        const TraceEvent &e = trace->events[i];

        // The last event is never judged on its loss.
        if ((e.typeDigit == 0 || e.typeDigit == 1) && i != n - 1) {
            const bool reflective = e.typeDigit == 1;
            const bool on = reflective ? t.IncludeReflection : t.IncludeNonReflection;
            const float limit = reflective ? t.Reflection : t.NonReflection;
            if (e.loss == 0.0f) {
                if (i > 0 && on)
                    v = VerdictIncomplete;
            } else {
                judge(e.loss >= limit, on);
            }
        }

        if (e.codeLetter == 'E') {
            if (e.totalLoss == 0.0f) {
                if (i > 0 && t.IncludeTotalLoss)
                    v = VerdictIncomplete;
            } else {
                judge(e.totalLoss > t.TotalLoss, t.IncludeTotalLoss);
            }
            if (e.distance != 0.0f) {
                const float attenuation = e.totalLoss * 1000.0f / e.distance; // dB/km
                judge(attenuation > avgLimit, t.IncludeAvg);
            }
        }

        if (e.typeDigit != 0) {
            if (e.reflectance == 0.0f) {
                if (i > 0 && t.IncludeReturnLoss)
                    v = VerdictIncomplete;
            } else if (e.reflectance > -20.0f) {
                // Reflectances above -20 dB count as -20 dB.
                judge(-20.0f > t.ReturnLoss, t.IncludeReturnLoss);
            } else {
                judge(std::fabs(t.ReturnLoss) > std::fabs(e.reflectance), t.IncludeReturnLoss);
            }
        }
    }
    return v;
}

int ComputeVerdict(const TraceSet &traces, const PassThresholds &t)
{
    if (traces.currentSlot < 0 || traces.currentSlot >= TraceSet::slotCount)
        return VerdictNone;
    const TraceSlot &slot = traces.slots[size_t(traces.currentSlot)];
    if (!slot.loaded)
        return VerdictNone;
    return ComputeVerdict(slot.trace.get(), t);
}
