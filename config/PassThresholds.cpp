#include "config/PassThresholds.h"

#include "config/CMemIniFile.h"
#include "config/IniText.h"
#include "config/PrivateProfile.h"

#include <cmath>


namespace {

const QString section = QStringLiteral("PassThrd");

// Values are read through a 260-unit buffer: at most 259 characters count.
constexpr int valueBufferUnits = 260;

QString readValue(const CCustomIniFile &ini, const char *key)
{
    return ini.ReadText(section, QString::fromLatin1(key), QString()).left(valueBufferUnits - 1);
}

bool readSwitch(const CCustomIniFile &ini, const char *key)
{
    return readValue(ini, key) != QLatin1String("0");
}

float readNumber(const CCustomIniFile &ini, const char *key)
{
    return static_cast<float>(initext::leadingDouble(readValue(ini, key)));
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

void ReadPassThresholds(const CCustomIniFile &ini, PassThresholds &t)
{
    t.IncludeReflection = readSwitch(ini, "IncludeReflection");
    t.IncludeNonReflection = readSwitch(ini, "IncludeNonReflection");
    t.IncludeTotalLoss = readSwitch(ini, "IncludeTotalLoss");
    t.IncludeReturnLoss = readSwitch(ini, "IncludeReturnLoss");
    t.IncludeAvg = readSwitch(ini, "IncludeAvg");

    t.Reflection = atLeast(readNumber(ini, "Reflection"), 0.01, 0.5f);
    t.NonReflection = atLeast(readNumber(ini, "NonReflection"), 0.01, 0.2f);
    t.TotalLoss = atLeast(readNumber(ini, "TotalLoss"), 0.1, 20.0f);
    const float returnLoss = readNumber(ini, "ReturnLoss");
    t.ReturnLoss = static_cast<double>(returnLoss) > -0.1 ? -40.0f : returnLoss;
    t.AvgLoss850 = atLeast(readNumber(ini, "AvgLoss850"), 0.1, 3.0f);
    t.AvgLoss1300 = atLeast(readNumber(ini, "AvgLoss1300"), 0.1, 0.8f);
    t.AvgLoss1310 = atLeast(readNumber(ini, "AvgLoss1310"), 0.1, 0.4f);
    t.AvgLoss1490 = atLeast(readNumber(ini, "AvgLoss1490"), 0.1, 0.3f);
    t.AvgLoss1550 = atLeast(readNumber(ini, "AvgLoss1550"), 0.1, 0.3f);
    t.AvgLoss1625 = atLeast(readNumber(ini, "AvgLoss1625"), 0.1, 0.3f);
    t.AvgLoss1650 = atLeast(readNumber(ini, "AvgLoss1650"), 0.1, 0.3f);
}

void ReadPassThresholds(const QString &iniPath, PassThresholds &t)
{
    CMemIniFile ini;
    ini.AttachFile(iniPath);
    ReadPassThresholds(ini, t);
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
