#include "config/Configuration.h"

#include "config/SettingsLocation.h"

#include <QDir>

namespace {

const QString colorSection = QStringLiteral("Color");
const QString printSection = QStringLiteral("PrintSetting");

uint32_t readColour(const CCustomIniFile &ini, const QString &key)
{
    return static_cast<uint32_t>(ini.ReadInt(colorSection, key, 0));
}

QString text(const CCustomIniFile &ini, const QString &section, const char *key)
{
    return ini.ReadText(section, QString::fromLatin1(key), QString());
}

} // namespace

void bindConfiguration(const QString &folder, CMemIniFile &ini)
{
    // An installed program reads the per-user copy once one has been written.
    ini.AttachFile(settingsReadPath(configFilePath(folder)));
}

bool switchOnUnlessZero(const QString &text)
{
    return text != QLatin1String("0");
}

bool switchOnOnlyIfZero(const QString &text)
{
    return text == QLatin1String("0");
}

ColourSettings readColourSettings(const CCustomIniFile &ini)
{
    ColourSettings colours;
    for (size_t i = 0; i < colours.trace.size(); ++i)
        colours.trace[i] = readColour(ini, QStringLiteral("Trace%1").arg(i + 1));
    colours.back = readColour(ini, QStringLiteral("Back"));
    colours.grid = readColour(ini, QStringLiteral("Grid"));
    colours.eventMarker = readColour(ini, QStringLiteral("EventMarker"));
    colours.cursor = readColour(ini, QStringLiteral("Cursor"));
    return colours;
}

DisplaySettings readDisplaySettings(const CCustomIniFile &ini)
{
    DisplaySettings settings;
    settings.viewColours = readColourSettings(ini);
    settings.colours = readColourSettings(ini);
    settings.gridVisible = switchOnOnlyIfZero(text(ini, QStringLiteral("Condition"), "Grid"));
    settings.multiMode = switchOnUnlessZero(text(ini, QStringLiteral("FileList"), "MultiMode"));
    settings.distanceDecimals = ini.ReadInt(QStringLiteral("Unit"), QStringLiteral("DFigure"), 0);
    settings.distanceUnit = text(ini, QStringLiteral("Unit"), "Distance");
    return settings;
}

PrintSettings readPrintSettings(const CCustomIniFile &ini)
{
    PrintSettings p;
    const auto flag = [&ini](const char *key) { return switchOnUnlessZero(text(ini, printSection, key)); };
    p.selectLogo = flag("SelectLogo");
    p.selectShowVersion = flag("SelectShowVersion");
    p.selectJob = flag("SelectJob");
    p.selectConfig = flag("SelectConfig");
    p.selectComment = flag("SelectComment");
    p.selectTrace = flag("SelectTrace");
    p.selectEvent = flag("SelectEvent");

    p.job = text(ini, printSection, "Job");
    p.contractor = text(ini, printSection, "Contractor");
    p.customer = text(ini, printSection, "Customer");
    p.operatorName = text(ini, printSection, "Operator");
    p.originLocation = text(ini, printSection, "OriginLocation");
    p.originCable = text(ini, printSection, "OriginCable");
    p.originFiber = text(ini, printSection, "OriginFiber");
    p.originColor = text(ini, printSection, "OriginColor");
    p.endLocation = text(ini, printSection, "EndLocation");
    p.endCable = text(ini, printSection, "EndCable");
    p.endFiber = text(ini, printSection, "EndFiber");
    p.endColor = text(ini, printSection, "EndColor");

    p.selfDefine = readSelfDefine(ini);
    if (p.selfDefine) {
        p.wavelength = text(ini, printSection, "Wavelength");
        p.pulse = text(ini, printSection, "Pulse");
        p.range = text(ini, printSection, "Range");
        p.lossThreshold = text(ini, printSection, "LossThreshold");
        p.reflectionThreshold = text(ini, printSection, "ReflectionThreshold");
        p.endThreshold = text(ini, printSection, "EndThreshold");
        p.backscatterCoeff = text(ini, printSection, "BackscatterCoeff");
        p.index = text(ini, printSection, "Index");
        p.average = text(ini, printSection, "Average");
    }
    return p;
}

bool readSelfDefine(const CCustomIniFile &ini)
{
    return switchOnUnlessZero(text(ini, printSection, "SelfDefine"));
}

QString readSorFilePath(const CCustomIniFile &ini)
{
    return text(ini, QStringLiteral("GlobalSetting"), "SorFilePath");
}

void writeSorFilePath(CCustomIniFile &ini, const QString &folder)
{
    ini.WriteText(QStringLiteral("GlobalSetting"), QStringLiteral("SorFilePath"), folder);
}

void writeMultiMode(CCustomIniFile &ini, bool on)
{
    ini.WriteInt(QStringLiteral("FileList"), QStringLiteral("MultiMode"), on ? 1 : 0);
}
