#include "config/AnalysisSettings.h"

#include "config/PrivateProfile.h"

#include <cmath>

namespace {

const QString section = QStringLiteral("Analysis");

float positive(float value, float fallback)
{
    return std::isfinite(value) && value > 0.0f ? value : fallback;
}

} // namespace

AnalysisSettings readAnalysisSettings(const CCustomIniFile &ini)
{
    AnalysisSettings s;
    s.useFileThresholds = ini.ReadFlag(section, QStringLiteral("UseFileThresholds"), s.useFileThresholds);
    s.lossDb = positive(ini.ReadFloat32(section, QStringLiteral("LossThreshold"), s.lossDb), s.lossDb);
    const float reflectance = ini.ReadFloat32(section, QStringLiteral("ReflectanceThreshold"), s.reflectanceDb);
    if (std::isfinite(reflectance) && reflectance != 0.0f)
        s.reflectanceDb = -std::abs(reflectance);
    s.endDb = positive(ini.ReadFloat32(section, QStringLiteral("EndThreshold"), s.endDb), s.endDb);
    return s;
}

void writeAnalysisSettings(CCustomIniFile &ini, const AnalysisSettings &s)
{
    ini.WriteFlag(section, QStringLiteral("UseFileThresholds"), s.useFileThresholds);
    ini.WriteFloat32(section, QStringLiteral("LossThreshold"), s.lossDb);
    ini.WriteFloat32(section, QStringLiteral("ReflectanceThreshold"), s.reflectanceDb);
    ini.WriteFloat32(section, QStringLiteral("EndThreshold"), s.endDb);
}

bool saveAnalysisSettings(const QString &iniPath, const AnalysisSettings &s)
{
    const auto number = [](float v) { return QString::number(static_cast<double>(v), 'f', 3); };
    return profile::writeStrings(iniPath, section,
                                 {
                                     {QStringLiteral("UseFileThresholds"), s.useFileThresholds ? QStringLiteral("1") : QStringLiteral("0")},
                                     {QStringLiteral("LossThreshold"), number(s.lossDb)},
                                     {QStringLiteral("ReflectanceThreshold"), number(s.reflectanceDb)},
                                     {QStringLiteral("EndThreshold"), number(s.endDb)},
                                 });
}
