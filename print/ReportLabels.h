#pragma once

#include <QString>

#include <functional>

// The labels of a page of two traces of one fibre (both directions or two wavelengths), and
// of the windows that show the same.
struct PairLabels {
    QString bidirTitle;
    QString wavelengthTitle;
    QString distance;
    QString lossAb;
    QString lossBa;
    QString meanLoss;
    QString reflectance;
    QString seen;
    QString seenWords[3];   // both, A->B only, B->A only
    QString lossAt;         // "%1" stands for the wavelength in nm
    QString difference;
    QString macrobend;
    QString cable;
    QString fibre;
    QString wavelength;
    QString fibreLength;
    QString totalAb;
    QString totalBa;
    QString meanTotal;
    QString totalLoss;
    QString differentWavelengths;
    QString sameWavelength;
    QString doubtful;
};

// The texts of the printed link summary (print/SummaryPage.h).
struct SummaryLabels {
    QString title;
    QString headers[10];    // file, wavelength, pulse, length, events, total loss, largest event
                            // loss, worst reflectance, attenuation, result
    QString unreadable;     // the result of a file that did not read
    QString incomplete;     // the result of a trace with an unmeasured value
    QString pageOf;         // "Page %1 of %2"
};

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
    QString measureLsa;    // the A-B box's mode names
    QString measureSplice;
    QString totalLoss;
    QString orl;
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
    PairLabels pair;
    SummaryLabels summary;
};

using TextLookup = std::function<QString(int id)>;

// Every label by its text identifier through `text` (the text library's loadText).
ReportLabels loadReportLabels(const TextLookup &text);
