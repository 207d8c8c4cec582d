#include "view/COtdrTrace.h"
#include "view/TraceRenderer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "view_tests";
        static char *argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
};

::testing::Environment *const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const QColor background(32, 32, 32);
const QColor traceRed(255, 0, 0);
const QColor traceGreen(0, 255, 0);
const QColor currentYellow(225, 225, 0);
const QColor gridGrey(128, 128, 128);
const QColor marksMagenta(255, 0, 255);
const QColor cursorCyan(0, 255, 255);
const QColor inactiveBlue(0, 0, 255);
const QColor axisBlue(30, 168, 234);
const QColor markRed(255, 0, 0);
const QColor white(255, 255, 255);
const QColor arrowGrey(200, 200, 200);

uint32_t bgr(const QColor &c)
{
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8
        | static_cast<uint32_t>(c.blue()) << 16;
}

ViewSettings testSettings()
{
    ViewSettings s;
    s.colors.trace = {bgr(traceRed), bgr(traceGreen), bgr(traceRed), bgr(traceRed),
                      bgr(traceRed), bgr(traceRed), bgr(traceRed), bgr(traceRed)};
    s.colors.background = bgr(background);
    s.colors.grid = bgr(gridGrey);
    s.colors.eventMarks = bgr(marksMagenta);
    s.colors.cursor = bgr(cursorCyan);
    s.grid = false;
    s.unit = QStringLiteral("m");
    return s;
}

TraceCurve flatCurve(float level, int n = 1000, float spacing = 1.0f)
{
    TraceCurve c;
    c.sampleCount = n;
    c.spacing = spacing;
    c.length = static_cast<float>(n) * spacing;
    c.levels.assign(static_cast<size_t>(n), level);
    return c;
}

bool near(QRgb pixel, const QColor &c, int tolerance = 0)
{
    return std::abs(qRed(pixel) - c.red()) <= tolerance && std::abs(qGreen(pixel) - c.green()) <= tolerance
        && std::abs(qBlue(pixel) - c.blue()) <= tolerance;
}

int countNear(const QImage &image, const QRect &area, const QColor &c, int tolerance = 0)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += near(image.pixel(x, y), c, tolerance) ? 1 : 0;
    return n;
}

// A 1000 x 500 plot inside a 1025 x 520 client.
class Rendering : public ::testing::Test {
protected:
    void SetUp() override { state.setClientRect(QRect(0, 0, 1025, 520), true); }

    QImage layerImage(CurveDrawMode mode = CurveDrawMode::Reduced)
    {
        TraceLayer layer;
        layer.resize(state.plotRect.size());
        layer.render(state, settings, mode);
        return layer.image();
    }

    QImage paint(int verdict = 0)
    {
        TraceLayer layer;
        layer.resize(state.plotRect.size());
        layer.render(state, settings);
        QImage out(state.clientRect.size(), QImage::Format_RGB32);
        QPainter p(&out);
        paintTraceView(p, state, layer.image(), settings, verdict, fonts);
        return out;
    }

    TraceViewState state;
    ViewSettings settings = testSettings();
    TraceViewFonts fonts;
};

TEST_F(Rendering, CurvesTakeTheirColoursAndTheCurrentOneIsYellow)
{
    state.AddCurve(flatCurve(10.0f));
    state.AddCurve(flatCurve(20.0f));
    const QImage layer = layerImage();
    const int x = 500;
    EXPECT_TRUE(near(layer.pixel(x, state.levelToRow(10.0f, 0)), traceRed));
    EXPECT_TRUE(near(layer.pixel(x, state.levelToRow(20.0f, 0)), currentYellow));
    EXPECT_EQ(qAlpha(layer.pixel(x, 50)), 0) << "empty layer pixels are transparent";

    const QImage shown = paint();
    EXPECT_TRUE(near(shown.pixel(25 + x, 50), background));
    EXPECT_TRUE(near(shown.pixel(25 + x, state.levelToRow(20.0f, 0)), currentYellow));
}

TEST_F(Rendering, TheCurrentCurveLiesOnTop)
{
    state.AddCurve(flatCurve(10.0f));
    state.AddCurve(flatCurve(10.0f));
    const int row = state.levelToRow(10.0f, 0);
    for (int current : {0, 1}) {
        state.SelectCurve(current);
        EXPECT_TRUE(near(layerImage().pixel(300, row), currentYellow)) << current;
    }
}

TEST_F(Rendering, BlackCurvesAreTransparentUnlessCurrent)
{
    settings.colors.trace[0] = 0;
    state.AddCurve(flatCurve(10.0f));
    state.AddCurve(flatCurve(20.0f));
    const int row = state.levelToRow(10.0f, 0);
    EXPECT_EQ(qAlpha(layerImage().pixel(300, row)), 0);
    EXPECT_TRUE(near(paint().pixel(325, row), background));
    state.SelectCurve(0);
    EXPECT_TRUE(near(layerImage().pixel(300, row), currentYellow));
}

TEST_F(Rendering, PixelOffsetShiftsOnlyTheCurrentCurve)
{
    state.AddCurve(flatCurve(10.0f));
    state.AddCurve(flatCurve(20.0f));
    state.MoveCurve(-10);
    const QImage layer = layerImage();
    EXPECT_TRUE(near(layer.pixel(300, state.levelToRow(20.0f, 0) - 10), currentYellow));
    EXPECT_TRUE(near(layer.pixel(300, state.levelToRow(10.0f, 0)), traceRed));
}

TEST_F(Rendering, ReducedColumnsCoverTheSamePixelsAsTheFullPolyline)
{
    state.setClientRect(QRect(0, 0, 1625, 920), true); // a 1600 x 900 plot
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.4f);
    TraceCurve c = flatCurve(0.0f, 256000, 0.5f);
    for (size_t i = 0; i < c.levels.size(); ++i) // falling backscatter, noise and a few steps
        c.levels[i] = 45.0f - static_cast<float>(i) * 0.00015f + noise(random) - (i > 90000 ? 3.0f : 0.0f)
            + (i % 40000 < 30 ? 8.0f : 0.0f);
    state.AddCurve(c);
    struct Window {
        float x0, x1, y0, y1;
    } const windows[] = {{0, 128000, 0, 50}, {1000, 51000, 5, 45}, {64000.3f, 64900.7f, 20, 30},
                         {0, 128000, 30, 31}};
    std::vector<Window> all(std::begin(windows), std::end(windows));
    std::uniform_real_distribution<float> where(0.0f, 120000.0f), level(0.0f, 45.0f), width(2000.0f, 128000.0f),
        height(0.5f, 50.0f);
    for (int k = 0; k < 12; ++k) {
        const float x0 = where(random), y0 = level(random);
        all.push_back({x0, x0 + width(random), y0, y0 + height(random)});
    }
    for (const Window &w : all) {
        state.SetView(w.x0, w.x1, w.y0, w.y1, true);
        const QImage full = layerImage(CurveDrawMode::Full);
        const QImage reduced = layerImage(CurveDrawMode::Reduced);
        ASSERT_EQ(full.size(), reduced.size());
        int differing = 0;
        for (int x = 0; x < full.width(); ++x)
            for (int y = 0; y < full.height(); ++y)
                differing += full.pixel(x, y) != reduced.pixel(x, y) ? 1 : 0;
        EXPECT_EQ(differing, 0) << w.x0 << ".." << w.x1;
        EXPECT_LT(curvePoints(state, state.curves[0], CurveDrawMode::Reduced).size(), 1600u * 4 + 8);
    }
}

TEST_F(Rendering, WithFewSamplesOneMoreReachesTheRightEdge)
{
    state.AddCurve(flatCurve(10.0f, 1000, 1.0f));
    state.SetView(100, 200, 0, 50, true); // 100 samples over 1000 columns
    int32_t first = 0, last = 0;
    const auto pts = curvePoints(state, state.curves[0], CurveDrawMode::Reduced, &first, &last);
    EXPECT_EQ(first, 99);
    EXPECT_EQ(last, 200);
    EXPECT_GE(pts.back().x(), 1000);
    state.curves[0] = flatCurve(10.0f, 2000, 1.0f);
    state.SetView(0, 1500, 0, 50, true); // more samples than columns: no extra sample
    curvePoints(state, state.curves[0], CurveDrawMode::Reduced, &first, &last);
    EXPECT_EQ(last, 1499);
}

TEST_F(Rendering, EventMarksWithNumbersBoxesAndUpwardLabels)
{
    TraceCurve c = flatCurve(20.0f);
    for (int j = 0; j < 10; ++j)
        c.markers.push_back({50 + j * 90, 50.0f + static_cast<float>(j) * 90.0f});
    state.AddCurve(c);
    const QImage layer = layerImage();
    const int y = state.levelToRow(20.0f, 0);
    auto redRun = [&](int x, int row) {
        int left = x, right = x;
        while (left > 0 && near(layer.pixel(left - 1, row), markRed))
            --left;
        while (right + 1 < layer.width() && near(layer.pixel(right + 1, row), markRed))
            ++right;
        return std::make_pair(left, right - left + 1);
    };
    const int x9 = 50 + 8 * 90; // ninth mark
    const int x10 = 50 + 9 * 90;
    EXPECT_TRUE(near(layer.pixel(x9, y - 10), markRed));
    EXPECT_TRUE(near(layer.pixel(x9, y + 5), markRed));
    EXPECT_EQ(redRun(x9, y + 37), std::make_pair(x9 - 8, 16));
    EXPECT_EQ(redRun(x10, y + 37), std::make_pair(x10 - 8, 18));
    // The number inside the box and the distance label below it, in the event-mark colour.
    EXPECT_GT(countNear(layer, QRect(x9 - 6, y + 22, 12, 14), marksMagenta, 40), 5);
    EXPECT_GT(countNear(layer, QRect(x9 - 10, y + 38, 20, 80), marksMagenta, 40), 20);
    EXPECT_EQ(countNear(layer, QRect(x9 - 10, y + 120, 20, 200), marksMagenta, 40), 0);

    state.curves[0].showMarkers = 0;
    EXPECT_FALSE(near(layerImage().pixel(x9, y - 10), markRed));
}

TEST_F(Rendering, MarksAreDrawnOnlyWithinTheDrawnSamples)
{
    TraceCurve c = flatCurve(20.0f);
    c.markers = {{100, 101.0f}, {800, 801.0f}};
    state.AddCurve(c);
    state.SetView(0, 500, 0, 50, true);
    const QImage layer = layerImage();
    const int y = state.levelToRow(20.0f, 0);
    EXPECT_TRUE(near(layer.pixel(state.distanceToColumn(101.0f) - 25, y - 10), markRed));
    EXPECT_EQ(countNear(layer, QRect(0, y - 10, 1000, 48), markRed), countNear(layer, QRect(0, y - 10, 500, 48), markRed));
}

TEST_F(Rendering, DottedGridWithoutRightAndTopLines)
{
    const QImage off = paint();
    settings.grid = true;
    state.AddCurve(flatCurve(49.0f)); // keeps the curve away from the grid rows checked
    const QImage shown = paint();
    const int left = 25, h = 500;
    // Row h lies in the label margin: look between the distance labels.
    EXPECT_TRUE(near(shown.pixel(left + 60, h), gridGrey));
    EXPECT_TRUE(near(shown.pixel(left + 61, h), background));
    EXPECT_TRUE(near(shown.pixel(left, h - 2), gridGrey));
    EXPECT_TRUE(near(shown.pixel(left, h - 3), background));
    EXPECT_TRUE(near(shown.pixel(left + 500, 300), gridGrey));
    EXPECT_TRUE(near(shown.pixel(left + 500, 301), background));
    EXPECT_TRUE(near(shown.pixel(left + 400, 250), gridGrey)); // horizontal line j = 5
    EXPECT_EQ(countNear(shown, QRect(1024, 100, 1, 300), gridGrey), 0);
    EXPECT_EQ(countNear(shown, QRect(300, 0, 400, 1), gridGrey), 0);
    EXPECT_GT(countNear(shown, QRect(25, 0, 1000, 501), gridGrey), 5000);
    EXPECT_EQ(countNear(off, QRect(25, 0, 1000, 501), gridGrey), 0);
}

TEST_F(Rendering, AxisLabelsOnlyWhereTheWindowAllows)
{
    const QRect levelMargin(0, 0, 25, 500);
    const QRect distanceMargin(25, 500, 1000, 20);
    QImage shown = paint(); // no trace: xMax is 0
    EXPECT_GT(countNear(shown, levelMargin, axisBlue, 30), 50);
    EXPECT_EQ(countNear(shown, distanceMargin, axisBlue, 30), 0);

    state.AddCurve(flatCurve(10.0f));
    shown = paint();
    EXPECT_GT(countNear(shown, distanceMargin, axisBlue, 30), 100);
    EXPECT_GT(countNear(shown, QRect(990, 500, 25, 20), axisBlue, 30), 5); // "km"

    state.yMax = 150.0f;
    EXPECT_EQ(countNear(paint(), levelMargin, axisBlue, 30), 0);
}

TEST_F(Rendering, CursorsWithReadouts)
{
    state.cursorsVisible = 1;
    state.AddCurve(flatCurve(10.0f));
    state.cursorA.distance = 0.0f; // at xMin: drawn 2 pixels right of the plot edge
    state.cursorB.distance = 600.0f;
    state.activeCursor = 1;
    QImage shown = paint();
    EXPECT_GT(countNear(shown, QRect(26, 40, 2, 400), cursorCyan), 300);
    EXPECT_GT(countNear(shown, QRect(624, 40, 2, 400), inactiveBlue), 300);
    EXPECT_EQ(countNear(shown, QRect(624, 0, 2, 29), inactiveBlue), 0); // starts 30 below the top
    EXPECT_GT(countNear(shown, QRect(30, 30, 200, 16), white, 40), 20);  // A's label, right of the line
    EXPECT_GT(countNear(shown, QRect(630, 50, 200, 16), white, 40), 20); // B's one row lower
    EXPECT_GT(countNear(shown, QRect(700, 0, 324, 16), white, 40), 20);  // A-B readout, top right
    EXPECT_EQ(state.cursorA.levelText, QStringLiteral("10.00dB"));

    state.activeCursor = 3; // both drawn in the active colour
    shown = paint();
    EXPECT_GT(countNear(shown, QRect(624, 40, 2, 400), cursorCyan), 300);

    // Near the right edge the label moves to the left of the line.
    state.cursorB.distance = 990.0f;
    shown = paint();
    EXPECT_EQ(countNear(shown, QRect(1017, 50, 8, 16), white, 40), 0);
    EXPECT_GT(countNear(shown, QRect(850, 50, 160, 16), white, 40), 20);

    state.cursorsVisible = 0;
    EXPECT_EQ(countNear(paint(), QRect(26, 40, 2, 400), cursorCyan), 0);
}

TEST_F(Rendering, WithoutATraceTheCursorsStandAtTheLeftEdge)
{
    // The empty window 0..0 m holds both cursors at 0 m: drawn 2 pixels right of the plot
    // edge (B, inactive, over A) with zero readouts.
    state.cursorsVisible = 1;
    QImage shown = paint();
    EXPECT_GT(countNear(shown, QRect(26, 40, 2, 400), inactiveBlue), 300);
    EXPECT_GT(countNear(shown, QRect(28, 30, 200, 16), white, 40), 20);
    EXPECT_GT(countNear(shown, QRect(28, 50, 200, 16), white, 40), 20);
    EXPECT_GT(countNear(shown, QRect(700, 0, 324, 16), white, 40), 20);
    EXPECT_EQ(state.cursorLabel(state.cursorA), QStringLiteral("A 0.00m 0.00dB"));
    EXPECT_EQ(state.abReadoutText(), QStringLiteral("A-B:  0.00m  0.00dB  -- dB/km"));

    // A negative current index draws no cursor at all.
    state.SelectCurve(3); // no curves: the current index becomes -1
    ASSERT_EQ(state.currentCurve, -1);
    shown = paint();
    EXPECT_EQ(countNear(shown, QRect(25, 0, 1000, 500), white, 40), 0);
    EXPECT_EQ(countNear(shown, QRect(25, 0, 1000, 500), inactiveBlue), 0);
    EXPECT_EQ(countNear(shown, QRect(25, 0, 1000, 500), cursorCyan), 0);
}

TEST_F(Rendering, PassAndFailMarks)
{
    state.AddCurve(flatCurve(49.0f));
    const QRect box(1025 - 102, 26, 102, 52);
    EXPECT_GT(countNear(paint(1), box, QColor(255, 0, 0), 20), 50);
    EXPECT_GT(countNear(paint(2), box, QColor(255, 0, 0), 20), 50);
    EXPECT_NE(paint(1), paint(2));
    for (int verdict : {0, 3})
        EXPECT_EQ(countNear(paint(verdict), box, QColor(255, 0, 0), 20), 0) << verdict;
}

TEST_F(Rendering, ZoomBoxAndDragArrows)
{
    state.AddCurve(flatCurve(49.0f));
    state.cursorA.column = 300;
    state.cursorB.column = 700;
    state.zoomStart = QPoint(100, 100);
    state.zoomEnd = QPoint(200, 300);
    state.mousePoint = QPoint(305, 200);
    QImage shown = paint();
    EXPECT_TRUE(near(shown.pixel(150, 100), QColor(255, 0, 0)));
    EXPECT_TRUE(near(shown.pixel(200, 200), QColor(255, 0, 0)));
    EXPECT_TRUE(near(shown.pixel(150, 150), background));
    EXPECT_TRUE(near(shown.pixel(300 - 9, 200), arrowGrey));
    EXPECT_TRUE(near(shown.pixel(300 + 6, 200), arrowGrey));

    state.mousePoint = QPoint(500, 200); // both cursors more than 6 pixels away
    EXPECT_EQ(countNear(paint(), QRect(280, 190, 440, 20), arrowGrey), 0);
    state.dragTarget = 2; // a drag shows the arrows on its cursor wherever the mouse is
    EXPECT_TRUE(near(paint().pixel(700 + 6, 200), arrowGrey));
}

// The widget: scroll bars, mouse capture and the hooks the program wires.

class Widget : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.setViewSettings(testSettings());
        view.setTraceSource([this]() -> const TraceData * { return &trace; });
        view.resize(1025 + view.findChild<QScrollBar *>()->sizeHint().height(), 560);
        view.setCursorsVisible(true);
        view.show(); // delivers the pending resize
        for (QScrollBar *bar : view.findChildren<QScrollBar *>())
            (bar->orientation() == Qt::Horizontal ? hBar : vBar) = bar;
    }

    void mouse(QEvent::Type type, QPoint p, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(p), view.mapToGlobal(QPointF(p)), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&view, &e);
    }

    COtdrTrace view;
    TraceData trace;
    QScrollBar *hBar = nullptr;
    QScrollBar *vBar = nullptr;
};

TEST_F(Widget, ScrollBarRangeLeavesOutTheLastPage)
{
    ASSERT_TRUE(hBar && vBar);
    view.AddCurve(flatCurve(10.0f, 4000, 1.0f));
    EXPECT_EQ(hBar->maximum(), 0);
    EXPECT_FALSE(hBar->isEnabled());
    EXPECT_TRUE(hBar->isVisibleTo(&view));
    view.SetView(0, 1000, 10, 30, true);
    EXPECT_EQ(hBar->maximum(), 3000);
    EXPECT_EQ(hBar->pageStep(), 1000);
    EXPECT_EQ(hBar->singleStep(), 20);
    EXPECT_TRUE(hBar->isEnabled());
    EXPECT_EQ(vBar->maximum(), 30000);
    EXPECT_EQ(vBar->value(), 10000);

    hBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_FLOAT_EQ(view.state().xMin, 1000.0f);
    EXPECT_EQ(hBar->value(), 1000);
    hBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_FLOAT_EQ(view.state().xMin, 980.0f);
    EXPECT_EQ(hBar->value(), 980);

    view.setVerticalRangeSource([] { return 45; });
    vBar->triggerAction(QAbstractSlider::SliderPageStepAdd); // 30..50 dB
    EXPECT_FLOAT_EQ(view.state().yMin, 30.0f);
    vBar->triggerAction(QAbstractSlider::SliderPageStepAdd); // 50..70 would clamp to nothing
    EXPECT_FLOAT_EQ(view.state().yMin, 30.0f);
    EXPECT_FLOAT_EQ(view.state().yMax, 50.0f);
    vBar->triggerAction(QAbstractSlider::SliderPageStepAdd); // past the end: 25..45 dB
    EXPECT_FLOAT_EQ(view.state().yMin, 25.0f);
    EXPECT_FLOAT_EQ(view.state().yMax, 45.0f);
}

TEST_F(Widget, WheelOverTheScrollBarsMovesNothing)
{
    view.AddCurve(flatCurve(10.0f, 4000, 1.0f));
    view.SetView(1000, 2000, 10, 30, true);
    for (QScrollBar *bar : {hBar, vBar}) {
        QWheelEvent wheel(QPointF(5, 5), bar->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
    }
    EXPECT_FLOAT_EQ(view.state().xMin, 1000.0f);
    EXPECT_FLOAT_EQ(view.state().yMin, 10.0f);
    EXPECT_EQ(hBar->value(), 1000);
}

TEST_F(Widget, CursorDragEndsOnAReleaseOutside)
{
    view.AddCurve(flatCurve(10.0f, 1000, 1.0f));
    int moved = 0;
    QObject::connect(&view, &COtdrTrace::cursorMoved, [&] { ++moved; });
    const int columnA = view.state().cursorA.column;
    mouse(QEvent::MouseButtonPress, QPoint(columnA + 2, 200), Qt::LeftButton);
    EXPECT_EQ(view.state().dragTarget, 1);
    mouse(QEvent::MouseMove, QPoint(columnA + 300, 200), Qt::LeftButton);
    EXPECT_FLOAT_EQ(view.state().cursorA.distance, 299.0f);
    mouse(QEvent::MouseButtonRelease, QPoint(-50, 900), Qt::NoButton);
    EXPECT_EQ(view.state().dragTarget, 0);
    EXPECT_EQ(view.state().mouseDown, 0);
    EXPECT_GE(moved, 1);
}

TEST_F(Widget, PaintsWithTheVerdictAndPublishesCursorMarks)
{
    view.AddCurve(flatCurve(10.0f, 1000, 1.0f));
    int published = 0;
    ViewCursorMarks last;
    view.setCursorMarksSink([&](const ViewCursorMarks &m) {
        ++published;
        last = m;
    });
    view.setVerdictSource([] { return 2; });
    const QImage image = view.renderToImage();
    EXPECT_EQ(image.size(), view.state().clientRect.size());
    EXPECT_GT(countNear(image, QRect(image.width() - image.width() / 10, image.height() / 20, image.width() / 10,
                                     image.height() / 10),
                        QColor(255, 0, 0), 20),
              50);
    EXPECT_TRUE(near(image.pixel(25 + 500, view.state().levelToRow(10.0f, 0)), currentYellow));
    EXPECT_EQ(published, 1);
    EXPECT_TRUE(last.enabled);
    EXPECT_EQ(last.labelA, QStringLiteral("A"));
}

TEST_F(Widget, SignalsReportViewAndCurveChanges)
{
    int views = 0, curves = 0;
    QObject::connect(&view, &COtdrTrace::viewChanged, [&] { ++views; });
    QObject::connect(&view, &COtdrTrace::curvesChanged, [&] { ++curves; });
    view.AddCurve(flatCurve(10.0f, 1000, 1.0f));
    EXPECT_EQ(curves, 1);
    const int before = views;
    view.ZoomInH(0.02f);
    EXPECT_EQ(views, before + 1);
    view.SetView(5, 6, 0, 50, true); // refused: no signal
    EXPECT_EQ(views, before + 1);
}

} // namespace
