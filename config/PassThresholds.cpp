#include "config/PassThresholds.h"

#include "config/IniText.h"
#include "config/PrivateProfile.h"
#include "trace/TraceSet.h"

#include <cmath>

PassThresholds passThresholds;

namespace {

const QString section = QStringLiteral("PassThrd");

// Values are read through a 260-unit buffer: at most 259 characters count.
constexpr int valueBufferUnits = 260;

QString readValue(const QString &path, const char *key)
{
    return profile::readString(path, section, QString::fromLatin1(key), QString(), valueBufferUnits);
}

bool readSwitch(const QString &path, const char *key)
{
    return readValue(path, key) != QLatin1String("0");
}

float readNumber(const QString &path, const char *key)
{
    return static_cast<float>(initext::leadingDouble(readValue(path, key)));
}

// The stored single-precision value, widened, against the double-precision bound.
float atLeast(float value, double bound, float fallback)
{
    return static_cast<double>(value) < bound ? fallback : value;
}

QString fixed(float value, int decimals)
{
    return QString::asprintf("%.*f", decimals, static_cast<double>(value));
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

void ReadPassThresholds(const QString &iniPath, PassThresholds &t)
{
    t.IncludeReflection = readSwitch(iniPath, "IncludeReflection");
    t.IncludeNonReflection = readSwitch(iniPath, "IncludeNonReflection");
    t.IncludeTotalLoss = readSwitch(iniPath, "IncludeTotalLoss");
    t.IncludeReturnLoss = readSwitch(iniPath, "IncludeReturnLoss");
    t.IncludeAvg = readSwitch(iniPath, "IncludeAvg");

    t.Reflection = atLeast(readNumber(iniPath, "Reflection"), 0.01, 0.5f);
    t.NonReflection = atLeast(readNumber(iniPath, "NonReflection"), 0.01, 0.2f);
    t.TotalLoss = atLeast(readNumber(iniPath, "TotalLoss"), 0.1, 20.0f);
    const float returnLoss = readNumber(iniPath, "ReturnLoss");
    t.ReturnLoss = static_cast<double>(returnLoss) > -0.1 ? -40.0f : returnLoss;
    t.AvgLoss850 = atLeast(readNumber(iniPath, "AvgLoss850"), 0.1, 3.0f);
    t.AvgLoss1300 = atLeast(readNumber(iniPath, "AvgLoss1300"), 0.1, 0.8f);
    t.AvgLoss1310 = atLeast(readNumber(iniPath, "AvgLoss1310"), 0.1, 0.4f);
    t.AvgLoss1490 = atLeast(readNumber(iniPath, "AvgLoss1490"), 0.1, 0.3f);
    t.AvgLoss1550 = atLeast(readNumber(iniPath, "AvgLoss1550"), 0.1, 0.3f);
    t.AvgLoss1625 = atLeast(readNumber(iniPath, "AvgLoss1625"), 0.1, 0.3f);
    t.AvgLoss1650 = atLeast(readNumber(iniPath, "AvgLoss1650"), 0.1, 0.3f);
}

bool SavePassThresholds(const QString &iniPath, const PassThresholds &t)
{
    return profile::writeStrings(iniPath, section,
                                 {
                                     {QStringLiteral("IncludeReflection"), flag(t.IncludeReflection)},
                                     {QStringLiteral("IncludeNonReflection"), flag(t.IncludeNonReflection)},
                                     {QStringLiteral("IncludeTotalLoss"), flag(t.IncludeTotalLoss)},
                                     {QStringLiteral("IncludeReturnLoss"), flag(t.IncludeReturnLoss)},
                                     {QStringLiteral("IncludeAvg"), flag(t.IncludeAvg)},
                                     {QStringLiteral("Reflection"), fixed(t.Reflection, 2)},
                                     {QStringLiteral("NonReflection"), fixed(t.NonReflection, 2)},
                                     {QStringLiteral("TotalLoss"), fixed(t.TotalLoss, 1)},
                                     {QStringLiteral("ReturnLoss"), fixed(t.ReturnLoss, 1)},
                                     {QStringLiteral("AvgLoss850"), fixed(t.AvgLoss850, 3)},
                                     {QStringLiteral("AvgLoss1300"), fixed(t.AvgLoss1300, 3)},
                                     {QStringLiteral("AvgLoss1310"), fixed(t.AvgLoss1310, 3)},
                                     {QStringLiteral("AvgLoss1490"), fixed(t.AvgLoss1490, 3)},
                                     {QStringLiteral("AvgLoss1550"), fixed(t.AvgLoss1550, 3)},
                                     {QStringLiteral("AvgLoss1625"), fixed(t.AvgLoss1625, 3)},
                                     {QStringLiteral("AvgLoss1650"), fixed(t.AvgLoss1650, 3)},
                                 });
}

float attenuationLimit(const PassThresholds &t, int32_t wavelengthNm)
{
    switch (wavelengthNm) {
    case 850: return t.AvgLoss850;
    case 1300: return t.AvgLoss1300;
    case 1310: return t.AvgLoss1310;
    case 1490: return t.AvgLoss1490;
    case 1625: return t.AvgLoss1625;
    case 1650: return t.AvgLoss1650;
    default: return t.AvgLoss1550;
    }
}

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
