#pragma once

#include "print/PrintJob.h"
#include "print/ReportLabels.h"
#include "trace/FibrePairing.h"

#include <QColor>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class QFont;
class QPainter;
struct TraceData;

// A page of two traces of one fibre: the bidirectional report (both curves on the A->B axis,
// the events with both losses and their mean, the mean total loss) or the two-wavelength report
// (both curves, the events at both wavelengths, the bends marked). The same content fills the
// program's Bidirectional and Wavelengths windows.

// The page's texts and numbers, computed without painting.
struct PairPageContent {
    PairPageKind kind = PairPageKind::Bidirectional;
    bool refused = false;
    QString title;
    QString problem;                                     // the refusal or the warning; empty when none
    std::vector<std::pair<QString, QString>> identity;   // label, value
    std::vector<std::pair<QString, QString>> totals;     // label, value
    QStringList columns;
    std::vector<QStringList> rows;
    std::vector<bool> marked;                            // per row: a macrobend
    std::vector<double> eventDistancesM;                 // per row, A->B frame (or the traces' own)
    double spanM = 0.0;                                  // the plot's distance axis, m
    double firstLengthM = 0.0;                           // the fibre end of each trace, m
    double secondLengthM = 0.0;
    BidirResult bidir;
    WavelengthResult wavelengths;
};

// The content of a page of `first` and `second` (named as `firstName`, `secondName`).
// Bidirectional: `first` launched at A. Wavelengths: either order, the shorter shown first.
PairPageContent pairPageContent(PairPageKind kind, const TraceData &first, const QString &firstName,
                                const TraceData &second, const QString &secondName, const PairLabels &labels);

// One curve of the plot: a trace, turned round (B->A on the A->B axis) or as it is.
struct PairCurve {
    const TraceData *trace = nullptr;
    bool reversed = false;
    QColor colour;
    double lengthM = 0.0; // the trace's fibre end: where a turned curve starts, where levels stop counting
};

// The points of a curve in the painter's units inside `plot`: distance 0..spanM left to right,
// levels from `lowDb` (bottom) to `highDb` (top), one column's first, lowest, highest and last
// point every 1 / `unitsPerColumn` units.
std::vector<QPointF> pairCurvePoints(const PairCurve &curve, double spanM, double lowDb, double highDb, const QRectF &plot,
                                     double columnsPerUnit);

// The level range (dB) both curves cover over the fibre, widened to whole 5 dB steps.
std::pair<double, double> pairLevelRange(const std::vector<PairCurve> &curves, double spanM);

// Draws the curves with their axes, grid and event marks (marked events in red) into `area`,
// in the painter's units; `columnsPerUnit` device pixels per unit keep the curve as fine as the
// device. `font` labels the axes.
void drawPairPlot(QPainter &p, const QRectF &area, const std::vector<PairCurve> &curves, const PairPageContent &content,
                  const QFont &font, double columnsPerUnit);

// Draws the whole page into `page` (the painter's units): title, print time, identity,
// plot, totals and the event table.
void drawPairPage(QPainter &p, const QRectF &page, const PairPage &pairPage, const PairLabels &labels,
                  const QFont &titleFont, const QFont &textFont, const QFont &boldFont, const QString &printTime,
                  double columnsPerUnit);
