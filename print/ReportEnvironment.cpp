#include "print/ReportEnvironment.h"

#include "config/CCustomIniFile.h"

#include <QFile>
#include <QImageReader>

QImage loadReportLogo(const QString &path, bool selectLogo)
{
    if (!selectLogo || path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&file);
    return reader.read();
}

ReportEnvironment reportEnvironment(const CCustomIniFile &ini, const DisplaySettings &display,
                                    const ReportLabels &labels, const ReportFontTable &fontTable,
                                    const PassThresholds &thresholds, const QString &logoPath)
{
    ReportEnvironment env;
    env.settings = readPrintSettings(ini);
    env.labels = labels;
    env.fontTable = fontTable;
    env.thresholds = thresholds;
    env.gridVisible = display.gridVisible;
    env.gridColour = display.colours.grid;
    env.distanceUnit = display.distanceUnit;
    env.logo = loadReportLogo(logoPath, env.settings.selectLogo);
    return env;
}
