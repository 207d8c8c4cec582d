#pragma once

#include "trace/CursorMeasurement.h"
#include "trace/TraceData.h"
#include "trace/TraceSet.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// One event mark of a curve: where the event sits in the curve's samples and along the fibre.
struct EventMark {
    int32_t sampleIndex = 0; // index into TraceCurve::levels
    float distance = 0.0f;   // m
};

// What the trace view keeps of one loaded trace for drawing: a cache derived from the document's
// slot (levels ready to draw, event marks) and rebuilt from it, plus the view's own state of the
// curve (visibility, vertical shift).
struct TraceCurve {
    int32_t visible = 1;       // 1: drawn
    int32_t showMarkers = 1;   // 1: event marks drawn while the curve is current
    int32_t sampleCount = 0;   // entries in levels
    int32_t pixelOffset = 0;   // vertical shift, pixels (negative: up)
    float length = 0.0f;       // m, the trace's fibreLength
    float spacing = 0.0f;      // m per sample
    std::vector<float> levels; // dB, one per sample
    std::vector<EventMark> markers;
    float userOffset = 0.0f;   // m, subtracted before distances are shown
    QString caption;           // drawn at the top of the plot while current (the trace's gps text)
    // The slot's trace and load the curve was built from (syncCurves); null for a curve handed in.
    const TraceData *source = nullptr;
    uint64_t loadStamp = 0;
};

// Builds a curve from a loaded trace: count, length and spacing from `trace`, the given levels
// (dB) and user offset (m), one mark per event, the gps text as caption.
TraceCurve buildTraceCurve(const TraceData &trace, std::vector<float> levels, float userOffset);

// The curve of a loaded trace from the trace alone: its samples' levels and its user offset.
TraceCurve curveOfTrace(const TraceData &trace);

struct ViewCursor {
    int32_t column = 0;    // pixel column where the cursor was last placed, dragged or stepped
    float distance = 0.0f; // m
    QString label;         // "A" or "B"
    QString distanceText = QStringLiteral("0km");
    QString levelText = QStringLiteral("0dB");
    uint32_t colour = 0xFF0000; // 0x00BBGGRR, line colour while the cursor is not active
};

// Texts of the difference between the two cursors.
struct ABReadout {
    QString distanceText;
    QString levelText;
    QString slopeText;
};

// Colours of the view, 0x00BBGGRR as Config.ini stores them.
struct ViewColors {
    std::array<uint32_t, 8> trace{}; // curve i is drawn in trace[i] (trace colour i + 1)
    uint32_t background = 0;
    uint32_t grid = 0;
    uint32_t eventMarks = 0;
    uint32_t cursor = 0;
};

// Scroll state: a range 0..maximum of which a page is visible, positions in the units below.
struct HorizontalScroll { // metres
    int32_t maximum = 0;
    int32_t page = 0;
    int32_t position = 0;
    int32_t lineStep = 0;
};

struct VerticalScroll { // thousandths of a dB
    static constexpr int32_t maximum = 50000;
    float position = 0.0f;
    float page = 50000.0f;
    float lineStep = 1000.0f;
};

enum class ScrollAction { LineBack, LineForward, PageBack, PageForward, Thumb, Other };

// What the view tells the printed report about its cursors.
struct ViewCursorMarks {
    bool enabled = false;
    float fractionA = 0.0f; // 0..1 across the visible window
    float fractionB = 0.0f;
    QString distanceTextA, levelTextA, labelA;
    QString distanceTextB, levelTextB, labelB;
};

// The trace view's whole state and arithmetic, without a window. COtdrTrace owns one, feeds it
// input and paints it. Pixel values are in the control's client coordinates.
class TraceViewState {
public:
    // The trace that PlaceCursors reads cursor positions and 'S'/'E' events from: the trace
    // set's current slot, or null while the set holds no loaded trace.
    using TraceSource = std::function<const TraceData *()>;

    TraceViewState();

    void setTraceSource(TraceSource source) { m_traceSource = std::move(source); }

    // Size: the client rectangle and the plot inside it (left +25, bottom -20 once the layer
    // exists; see COtdrTrace).
    void setClientRect(const QRect &client, bool withMargins);

    // Mapping between metres/dB and pixels.
    int32_t distanceToColumn(float d) const;
    float columnToDistance(int32_t x) const;
    int32_t levelToRow(float v, int32_t pixelOffset) const; // within the trace layer

    // Operations.
    void SetView(float x0, float x1, float y0, float y1, bool updateScroll);
    void ZoomInH(float f);
    void ZoomOutH(float f);
    void ZoomInV(float f);
    void ZoomOutV(float f);
    void ResetView();
    void MoveCurve(int32_t dy);
    void StepCursor(int32_t dx);
    void DragCursorTo(int32_t x);
    int HitTestCursor(int32_t x) const;
    void MoveCursorToEvent(int j);
    float ValueAt(float d) const;
    int32_t CursorSampleIndex() const;
    void AddCurve(TraceCurve curve);
    void SetMarkers(int curve, const TraceData &trace);
    void SelectCurve(int i);
    void RefreshCurves();
    void RemoveCurve(int i);
    void RemoveAllCurves();
    void PlaceCursors();
    void InitScrollBars();

    // Brings the curves in step with the loaded slots of `set`: curves whose slot is gone are
    // removed, a curve whose slot still holds the load it was built from is kept as it is (with
    // its vertical shift), and the slots after the kept ones get new curves, in slot order
    // (AddCurve). Returns the number of curves built.
    int syncCurves(const TraceSet &set);
    // Curves built by syncCurves so far (each a pass over a trace's samples).
    uint64_t curvesBuilt() const { return m_curvesBuilt; }

    // Mouse and scroll-bar input. Move returns true when the plot needs a repaint.
    void Press(QPoint p);
    bool Move(QPoint p);
    void Release(QPoint p);
    void HScroll(ScrollAction action, int32_t trackPosition);

    // Mouse wheel, `notches` of 120 eighths of a degree each (positive: turned away from the
    // user). WheelZoomH narrows the distance window by wheelZoomFactor per notch around the
    // distance under column x (widens it for negative notches, at most to the whole trace, the
    // spot under the pointer staying put). WheelScrollH moves the window by a tenth of its width
    // per notch, towards the start for positive notches, within 0 .. fullScale. Both keep the
    // level window and move the scroll bars.
    static constexpr double wheelZoomFactor = 0.8;
    void WheelZoomH(int32_t x, double notches);
    void WheelScrollH(double notches);

    // Pixels an arrow key steps the active cursor (with Shift: the large step), as the toolbar's
    // cursor buttons do.
    static constexpr int32_t cursorKeyStep = 2;
    static constexpr int32_t cursorKeyLargeStep = 10;
    void VScroll(ScrollAction action, float trackPosition, int verticalRangeDb);

    // Recomputes both cursors' texts and the A-B readout for the unit setting ("m", "mi", "ft").
    void UpdateCursorTexts(const QString &unit);
    // The label drawn beside a cursor: "A 1.234km 12.35dB".
    QString cursorLabel(const ViewCursor &cursor) const;
    // "A-B:  <distance>  <level>  <slope>"
    QString abReadoutText() const;
    ViewCursorMarks cursorMarks() const;
    // Zoom centre: the active cursor's distance, or the mean of both.
    float zoomCentre() const;
    bool cursorInView(const ViewCursor &cursor) const;
    // The curve at currentCurve, or null.
    const TraceCurve *current() const;
    TraceCurve *current();

    // Bumped whenever the trace layer must be rendered again / the scroll bars changed.
    uint64_t layerVersion() const { return m_layerVersion; }
    uint64_t scrollVersion() const { return m_scrollVersion; }
    void invalidateLayer() { ++m_layerVersion; }

    QRect clientRect;
    QRect plotRect;
    float xMin = 0.0f, xMax = 0.0f;  // m
    float yMin = 0.0f, yMax = 50.0f; // dB
    float dbPerPixel = 0.0f;
    float fullScale = 0.0f;          // m
    std::vector<TraceCurve> curves;
    int currentCurve = 0;
    int singleCurveMode = 0;
    ViewCursor cursorA;
    ViewCursor cursorB;
    ABReadout abReadout;
    // How the A-B readout measures (two-point reads the levels under the cursors; LSA and splice
    // fit the current trace's samples) and the mode's name it shows ("A-B LSA:"); an empty name
    // keeps "A-B:".
    MeasurementMode measurementMode = MeasurementMode::TwoPoint;
    QString measurementName;
    int activeCursor = 1; // 1 A, 2 B, 3 both
    int dragTarget = 0;   // 0 none, 1 A, 2 B
    int cursorsVisible = 0;
    int mouseDown = 0;
    QPoint zoomStart, zoomEnd;
    QPoint mousePoint;
    HorizontalScroll hScroll;
    VerticalScroll vScroll;

private:
    void updateScrollBars(float x0, float x1, float y0, float y1);
    void applyMeasurementMode(const QString &unit);
    void setHorizontalRange(float fullScaleM);
    void forgetRemovedTraces();
    ViewCursor &cursor(int which) { return which == 2 ? cursorB : cursorA; }
    bool insidePlot(QPoint p) const;

    TraceSource m_traceSource;
    uint64_t m_curvesBuilt = 0;
    uint64_t m_layerVersion = 0;
    uint64_t m_scrollVersion = 0;
};
