#pragma once

#include <QString>

#include <functional>

// The fixed labels of a trace report, loaded from the text library at start.
struct ReportLabels {
    QString title;
    QString taskBox;
    QString fileName;
    QString testDate;
    QString operatorName;
    QString eventBox;
    QString configurationBox;
    QString startLocation;
    QString startCable;
    QString startFiber;
    QString direction;
    QString endLocation;
    QString wavelength;
    QString refractiveIndex;
    QString pulseWidth;
    QString testRange;
    QString averageTime;
    QString backscatter;
    QString lossThreshold;
    QString reflectionThreshold;
    QString endThreshold;
    QString traceBox;
    QString abBox;
    QString abDistance;
    QString abLoss;
    QString abSlope;
    // Texts the report uses besides the labels.
    QString autoText;       // a threshold of 0
    QString reflect;        // event type 1
    QString nonReflect;     // event type 0
    QString eventColumns[7];
    QString powerMeterColumns[6];
    QString powerMeterTitle;
    // Kinds of report in the titles of written PDF files.
    QString pdfTraceReport;
    QString pdfSummary;
    QString pdfPowerMeterReport;
};

using TextLookup = std::function<QString(int id)>;

// Every label by its text identifier through `text` (the text library's loadText).
ReportLabels loadReportLabels(const TextLookup &text);
