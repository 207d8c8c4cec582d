#pragma once

#include "config/Configuration.h"
#include "print/DefaultCursorPair.h"
#include "print/ReportLabels.h"
#include "trace/CursorMeasurement.h"
#include "trace/TraceFormat.h"

#include <QString>

#include <array>
#include <vector>

struct TraceData;
struct TraceSlot;

// The per-trace values of a report: from the slot and trace, and the test conditions from the
// print settings (SelfDefine on) or from the trace (SelfDefine "0").
struct ReportValues {
    QString fileName;
    QString testDate;
    QString operatorName;
    QString model;
    QString serialNumber;
    QString startLocation;
    QString endLocation;
    QString startCable;
    QString startFiber;
    QString direction;
    QString wavelength;
    QString pulse;
    QString range;
    QString lossThreshold;
    QString reflectionThreshold;
    QString endThreshold;
    QString backscatter;
    QString index;
    QString average;
    QString totalLoss; // the fibre end's cumulative loss, "%.3f"; "--" when there is none
    QString orl;       // the stored optical return loss, "%.2f"; "--" when none is stored
};

// The test date as every output shows it (traceformat::testDateText).
QString reportDateText(qint64 secondsSinceEpoch);

ReportValues reportValues(const TraceSlot &slot, const PrintSettings &settings, const QString &autoText);

// The test range value as printed: below 1000 the value and "m", else "%d km" of r / 1000.
QString rangeText(const QString &range);
// The pulse value as printed: below 1000 the value and "ns", else "%d" of p / 1000 and "us".
QString pulseText(const QString &pulse);

// Distance, loss and slope between the two cursors as the report spells them, in the distance
// unit setting ("m" when none is given).
using AbTexts = traceformat::AbTexts;
AbTexts abTexts(const CursorPair &cursors, const QString &distanceUnit = QStringLiteral("m"));
// The A-B texts of a page measured in `mode`: two-point as abTexts; LSA and splice fit the
// page's trace between the cursors, and the loss names the mode ("0.279 dB (LSA)"); "--" where
// the cursors leave too few samples.
AbTexts measuredAbTexts(const CursorPair &cursors, const TraceData &trace, MeasurementMode mode,
                        const ReportLabels &labels, const QString &distanceUnit = QStringLiteral("m"));

// Where the two cursors sit along the plot, 0..1 of the trace length.
struct CursorFractions {
    float a = 0.0f;
    float b = 0.0f;
};
CursorFractions cursorFractions(const CursorPair &cursors, const TraceData &trace);

// One row of the event table per event after the first: number with type and code, distance,
// segment, loss, total loss, slope, reflectance, by the rules of the screen's event list
// (traceformat::eventRowTexts) with three decimals.
using ReportEventRow = std::array<QString, 7>;
std::vector<ReportEventRow> eventRows(const TraceData &trace, const QString &distanceUnit, const ReportLabels &labels);

// Events a compact report lists and its row height factor, by traces per page.
struct CompactEventLimits {
    int rows = 8;
    float rowFactor = 1.2f;
};
CompactEventLimits compactEventLimits(int tracesPerPage);

// "PASS" for verdict 1, "FAIL" for 2, empty otherwise.
QString verdictText(int verdict);

// "Model: <model> SN: <serial>", or " SN: <serial>" without a model.
QString modelLine(const QString &model, const QString &serialNumber);
