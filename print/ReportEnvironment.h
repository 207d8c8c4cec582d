#pragma once

#include "config/Configuration.h"
#include "config/PassThresholds.h"
#include "print/ReportFontTable.h"
#include "print/ReportLabels.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <cstdint>

class CCustomIniFile;

// Everything a report page reads besides the job: settings, labels, fonts, thresholds, the
// grid switch and colour, the distance unit, the logo and the print time. The caller builds it
// once per run from its own configuration; nothing here reaches a process-wide object.
struct ReportEnvironment {
    PrintSettings settings;
    ReportLabels labels;
    ReportFontTable fontTable;
    PassThresholds thresholds;
    bool gridVisible = false;
    uint32_t gridColour = 0;      // 0x00BBGGRR
    QString distanceUnit = QStringLiteral("m");
    QImage logo;                  // null: no logo
    QDateTime printTime = QDateTime::currentDateTime();
};

// File name of the logo in the program's folder.
inline constexpr char logoFileName[] = "logo.bmp";

// The logo at `path` when `selectLogo` is on and the file reads as an image; else a null image.
QImage loadReportLogo(const QString &path, bool selectLogo);

// A run's environment: print settings and grid/unit values read from `ini`, the logo from
// `logoPath` (when SelectLogo is on), the given labels, font table and thresholds.
ReportEnvironment reportEnvironment(const CCustomIniFile &ini, const DisplaySettings &display,
                                    const ReportLabels &labels, const ReportFontTable &fontTable,
                                    const PassThresholds &thresholds, const QString &logoPath);
