#pragma once

#include "view/TraceRenderer.h"
#include "view/TraceViewState.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QScrollBar;

// The trace view: paints a TraceViewState, feeds it mouse and scroll-bar input and forwards
// the operations of the program, the panels and the toolbar to it. Operations that change
// what is shown schedule a repaint; the curve layer is re-rendered only when the window, the
// curves or the size changed.
class COtdrTrace : public QWidget {
    Q_OBJECT

public:
    explicit COtdrTrace(QWidget *parent = nullptr);
    ~COtdrTrace() override;

    // Wiring, done once by the program.
    void setViewSettings(const ViewSettings &settings); // colours, grid switch, unit
    const ViewSettings &viewSettings() const { return m_settings; }
    void setTraceSource(TraceViewState::TraceSource source);      // for PlaceCursors
    void setVerdictSource(std::function<int()> verdict);          // 1 PASS, 2 FAIL, else nothing
    void setVerticalRangeSource(std::function<int()> rangeDb);    // verticalRangeDb
    void setCursorMarksSink(std::function<void(const ViewCursorMarks &)> sink); // each paint

    // Operations (see TraceViewState).
    void SetView(float x0, float x1, float y0, float y1, bool updateScroll);
    void ZoomInH(float f);
    void ZoomOutH(float f);
    void ZoomInV(float f);
    void ZoomOutV(float f);
    void ResetView();
    void MoveCurve(int dy);
    void StepCursor(int dx);
    void DragCursorTo(int x);
    int HitTestCursor(int x) const;
    void MoveCursorToEvent(int j);
    float ValueAt(float d) const;
    int CursorSampleIndex() const;
    void AddCurve(TraceCurve curve);
    void SetMarkers(int curve, const TraceData &trace);
    void SelectCurve(int i);
    void RefreshCurves();
    void RemoveCurve(int i);
    void RemoveAllCurves();
    void PlaceCursors();
    void InitScrollBars();
    // The curves in step with the document's slots (TraceViewState::syncCurves); returns the
    // number of curves built.
    int syncCurves(const TraceSet &set);

    // State the panels and menu set directly.
    void setActiveCursor(int which);      // 1 A, 2 B, 3 both
    int activeCursor() const { return m_state.activeCursor; }
    void setCursorsVisible(bool visible);
    // How the A-B readout measures, and the mode's name it shows (empty for two-point).
    void setMeasurementMode(MeasurementMode mode, const QString &name);
    void setSingleCurveMode(bool single); // does not refresh; call RefreshCurves after
    void setCurveVisible(int i, bool visible);

    const TraceViewState &state() const { return m_state; }
    // Direct access for what has no operation of its own; call update() afterwards.
    TraceViewState &state() { return m_state; }

    // Renders the whole control as a paint would, into an image of the control's size.
    QImage renderToImage();

Q_SIGNALS:
    void cursorMoved();  // a cursor's distance or the active cursor changed
    void viewChanged();  // the visible window changed
    void curvesChanged(); // curves added, removed or selected

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Snapshot;
    Snapshot snapshot() const;
    void finish(const Snapshot &before);
    void syncScrollBars();
    void onHorizontalAction(int action);
    void onVerticalAction(int action);
    void layoutChildren();
    void paintInto(QPainter &painter);

    TraceViewState m_state;
    ViewSettings m_settings;
    TraceLayer m_layer;
    TraceViewFonts m_fonts;
    QImage m_paintBuffer;
    std::function<int()> m_verdict;
    std::function<int()> m_verticalRange;
    std::function<void(const ViewCursorMarks &)> m_cursorMarksSink;
    QScrollBar *m_hBar = nullptr;
    QScrollBar *m_vBar = nullptr;
    bool m_layerCreated = false;
    uint64_t m_syncedScroll = ~uint64_t(0);
};
