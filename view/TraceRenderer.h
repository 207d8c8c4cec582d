#pragma once

#include "view/TraceViewState.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>

#include <vector>

class QPainter;

// What the program reads from Config.ini for the view.
struct ViewSettings {
    ViewColors colors;
    bool grid = false;                // Condition/Grid
    QString unit = QStringLiteral("m"); // "m", "mi", "ft"
};

// A colour packed 0x00BBGGRR (Config.ini and the trace slots); the one conversion of the program.
QColor bgrColor(uint32_t bgr);

// Fonts of the view, created once.
struct TraceViewFonts {
    TraceViewFonts();
    QFont passFail;   // Arial 32 bold
    QFont cursor;     // Arial 16 bold
    QFont axis;       // Arial 15 bold
    QFont markNumber; // Arial 16 bold (numbers and caption)
    QFont markLabel;  // Arial 16 normal, drawn rotated to read upward
};

// How a curve's samples become polyline points. Full: one point per sample. Reduced: where a
// pixel column holds several samples, only its first, lowest, highest and last point are kept,
// which covers the same pixels.
enum class CurveDrawMode { Full, Reduced };

// Polyline points of one curve for the given window; empty when nothing is drawn. `first` and
// `last` receive the sample range drawn (marks are drawn within it).
std::vector<QPoint> curvePoints(const TraceViewState &state, const TraceCurve &curve,
                                CurveDrawMode mode, int32_t *first = nullptr,
                                int32_t *last = nullptr);

// The off-screen layer holding the rendered curves: the size of the plot, origin at the plot's
// top-left corner. Black is transparent: after rendering, black pixels are made fully
// transparent, so composing with SourceOver shows the background through them.
class TraceLayer {
public:
    void resize(const QSize &size);
    void render(const TraceViewState &state, const ViewSettings &settings,
                CurveDrawMode mode = CurveDrawMode::Reduced);
    const QImage &image() const { return m_image; }
    uint64_t renderedVersion = ~uint64_t(0);

private:
    QImage m_image;
    TraceViewFonts m_fonts;
};

// Paints the whole control into `painter` (client coordinates): background, grid, level labels,
// the curve layer, zoom box, distance labels, cursors with their readouts, the pass/fail mark
// for `verdict` (1 PASS, 2 FAIL) and the drag arrows. Recomputes the cursor texts in `state`.
void paintTraceView(QPainter &painter, TraceViewState &state, const QImage &layer,
                    const ViewSettings &settings, int verdict, const TraceViewFonts &fonts);
