// Wheel and arrow keys: the arithmetic on TraceViewState, then the same through COtdrTrace with
// QTest events.
#include "view/COtdrTrace.h"
#include "view/TraceViewState.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// 1000 samples 1 m apart, level i / 100 dB.
TraceCurve rampCurve()
{
    TraceCurve c;
    c.sampleCount = 1000;
    c.spacing = 1.0f;
    c.length = 1000.0f;
    for (int i = 0; i < 1000; ++i)
        c.levels.push_back(static_cast<float>(i) / 100.0f);
    return c;
}

// A 1000 x 500 plot from column 25, showing the ramp over 0..1000 m.
class WheelState : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.setClientRect(QRect(0, 0, 1025, 520), true);
        state.AddCurve(rampCurve());
    }
    void show(float x0, float x1) { state.SetView(x0, x1, 10.0f, 30.0f, true); }

    TraceViewState state;
};

TEST_F(WheelState, ZoomKeepsTheDistanceUnderThePointer)
{
    const struct {
        const char *name;
        float x0, x1;
        int column;
        double notches;
        float expected0, expected1;
    } cases[] = {
        {"in at the middle", 0, 1000, 525, 1, 100, 900},
        {"in at the left edge", 0, 1000, 25, 1, 0, 800},
        {"two notches", 0, 1000, 525, 2, 180, 820},
        {"half a notch", 0, 1000, 525, 0.5, 500 - 500 * 0.894427f, 500 + 500 * 0.894427f},
        {"out inside the trace", 400, 600, 525, -1, 375, 625},
        {"out past the start moves right", 0, 500, 825, -1, 0, 625},
        {"out past the end moves left", 600, 1000, 225, -1, 500, 1000},
        {"out wider than the trace gives all", 100, 900, 525, -3, 0, 1000},
        {"pointer in the left margin counts as the plot's edge", 200, 400, 3, 1, 200, 360},
    };
    for (const auto &c : cases) {
        show(c.x0, c.x1);
        state.WheelZoomH(c.column, c.notches);
        EXPECT_NEAR(state.xMin, c.expected0, 0.01) << c.name;
        EXPECT_NEAR(state.xMax, c.expected1, 0.01) << c.name;
        EXPECT_FLOAT_EQ(state.yMin, 10.0f) << c.name << ": the level window stays";
        EXPECT_FLOAT_EQ(state.yMax, 30.0f) << c.name;
    }
}

TEST_F(WheelState, ZoomInStopsAtTheNarrowestWindow)
{
    show(500, 512);
    state.WheelZoomH(525, 1); // 9.6 samples would be fewer than the view allows
    EXPECT_FLOAT_EQ(state.xMin, 500.0f);
    EXPECT_FLOAT_EQ(state.xMax, 512.0f);
    state.WheelZoomH(525, 1000); // a huge delta is bounded, not an overflow
    EXPECT_FLOAT_EQ(state.xMin, 500.0f);
    state.WheelZoomH(525, -1000); // at most ten notches at once
    EXPECT_NEAR(state.xMax - state.xMin, 12.0 * std::pow(0.8, -10), 0.01);
}

TEST_F(WheelState, ScrollMovesByATenthWithinTheTrace)
{
    const struct {
        const char *name;
        float x0, x1;
        double notches;
        float expected0;
    } cases[] = {
        {"towards the start", 200, 400, 1, 180},
        {"towards the end", 200, 400, -1, 220},
        {"three notches", 200, 400, -3, 260},
        {"stops at 0", 10, 210, 1, 0},
        {"stays at 0", 0, 200, 1, 0},
        {"stops at the end", 780, 980, -1, 800},
        {"full view stays", 0, 1000, -1, 0},
    };
    for (const auto &c : cases) {
        show(c.x0, c.x1);
        state.WheelScrollH(c.notches);
        EXPECT_NEAR(state.xMin, c.expected0, 0.01) << c.name;
        EXPECT_NEAR(state.xMax - state.xMin, c.x1 - c.x0, 0.01) << c.name << ": the width stays";
        EXPECT_EQ(state.hScroll.position, static_cast<int32_t>(state.xMin)) << c.name << ": the bar follows";
    }
}

TEST(WheelStateEmpty, EmptyViewIgnoresTheWheel)
{
    TraceViewState state;
    state.setClientRect(QRect(0, 0, 1025, 520), true);
    const float x0 = state.xMin, x1 = state.xMax;
    state.WheelZoomH(500, 1);
    state.WheelScrollH(1);
    EXPECT_EQ(state.xMin, x0);
    EXPECT_EQ(state.xMax, x1);
}

QApplication &application()
{
    static int argc = 1;
    static char name[] = "view_input_tests";
    static char *argv[] = {name, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

// The widget at a fixed size with the ramp loaded and the cursors in the plot.
class ViewInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        application();
        view.resize(800, 400);
        view.setCursorsVisible(true);
        view.AddCurve(rampCurve());
        view.SetView(0, 1000, 0, 50, true);
        view.state().cursorA.distance = 300;
        view.state().cursorA.column = view.state().distanceToColumn(300);
        view.state().cursorB.distance = 600;
        view.state().cursorB.column = view.state().distanceToColumn(600);
        view.setActiveCursor(1);
    }
    void wheel(QPoint at, int angle, Qt::KeyboardModifiers mods = Qt::NoModifier, bool sideways = false)
    {
        const QPoint delta = sideways ? QPoint(angle, 0) : QPoint(0, angle);
        QWheelEvent event(QPointF(at), QPointF(view.mapToGlobal(at)), QPoint(), delta, Qt::NoButton, mods,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    }
    QPoint plotPointAt(float distance) const
    {
        const TraceViewState &s = view.state();
        return QPoint(s.distanceToColumn(distance), s.plotRect.center().y());
    }

    COtdrTrace view;
};

TEST_F(ViewInput, WheelZoomsAroundThePointer)
{
    QSignalSpy changed(&view, &COtdrTrace::viewChanged);
    const QPoint at = plotPointAt(250);
    const float under = view.state().columnToDistance(at.x());
    wheel(at, 120);
    EXPECT_EQ(changed.count(), 1);
    const TraceViewState &s = view.state();
    EXPECT_LT(s.xMax - s.xMin, 1000.0f * 0.81f);
    EXPECT_NEAR(s.columnToDistance(at.x()), under, 2.0f) << "the spot under the pointer stays";
    wheel(at, -120);
    EXPECT_NEAR(s.xMin, 0.0f, 0.5f);
    EXPECT_NEAR(s.xMax, 1000.0f, 0.5f);
}

TEST_F(ViewInput, ShiftWheelAndSidewaysWheelScroll)
{
    view.SetView(400, 600, 0, 50, true);
    wheel(plotPointAt(500), -120, Qt::ShiftModifier);
    EXPECT_NEAR(view.state().xMin, 420.0f, 0.01f);
    EXPECT_NEAR(view.state().xMax, 620.0f, 0.01f);
    wheel(plotPointAt(500), 240, Qt::NoModifier, true);
    EXPECT_NEAR(view.state().xMin, 380.0f, 0.01f);
}

TEST_F(ViewInput, ArrowKeysStepTheActiveCursor)
{
    QSignalSpy moved(&view, &COtdrTrace::cursorMoved);
    const int start = view.state().cursorA.column;
    const struct {
        const char *name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int columnChange;
    } cases[] = {
        {"right", Qt::Key_Right, Qt::NoModifier, TraceViewState::cursorKeyStep},
        {"left", Qt::Key_Left, Qt::NoModifier, -TraceViewState::cursorKeyStep},
        {"shift right", Qt::Key_Right, Qt::ShiftModifier, TraceViewState::cursorKeyLargeStep},
        {"shift left", Qt::Key_Left, Qt::ShiftModifier, -TraceViewState::cursorKeyLargeStep},
    };
    for (const auto &c : cases) {
        const int before = view.state().cursorA.column;
        QTest::keyClick(&view, c.key, c.mods);
        EXPECT_EQ(view.state().cursorA.column - before, c.columnChange) << c.name;
    }
    EXPECT_EQ(view.state().cursorA.column, start);
    EXPECT_EQ(moved.count(), 4);

    view.setActiveCursor(2);
    const int b = view.state().cursorB.column;
    const int a = view.state().cursorA.column;
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(view.state().cursorB.column, b + TraceViewState::cursorKeyStep) << "B is active now";
    EXPECT_EQ(view.state().cursorA.column, a);
}

// Keys the view does not use reach its parent (the main window ends on Esc).
class KeyRecorder : public QWidget {
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() != Qt::Key_Control)
            keys.append(event->key());
    }
};

TEST(ViewKeys, OtherKeysGoOnToTheWindow)
{
    application();
    KeyRecorder parent;
    auto *view = new COtdrTrace(&parent);
    view->resize(800, 400);
    view->AddCurve(rampCurve());
    view->setActiveCursor(1);
    const int column = view->state().cursorA.column;
    QTest::keyClick(view, Qt::Key_Escape);
    QTest::keyClick(view, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(parent.keys, (QList<int>{Qt::Key_Escape, Qt::Key_Right, Qt::Key_Up}));
    EXPECT_EQ(view->state().cursorA.column, column);
}

} // namespace
