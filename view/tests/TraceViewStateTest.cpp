#include "view/TraceViewState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A 1000 x 500 plot (client 1025 x 520) and, unless said otherwise, one curve of 1000 samples
// 1 m apart whose level at sample i is i / 100 dB.
TraceCurve rampCurve(int n = 1000, float spacing = 1.0f)
{
    TraceCurve c;
    c.sampleCount = n;
    c.spacing = spacing;
    c.length = static_cast<float>(n) * spacing;
    for (int i = 0; i < n; ++i)
        c.levels.push_back(static_cast<float>(i) / 100.0f);
    return c;
}

class ViewState : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.setClientRect(QRect(0, 0, 1025, 520), true);
        state.setTraceSource([this]() -> const TraceData * { return loaded ? &trace : nullptr; });
    }
    void addRamp(int n = 1000, float spacing = 1.0f) { state.AddCurve(rampCurve(n, spacing)); }
    void window(float x0, float x1, float y0, float y1)
    {
        state.xMin = x0;
        state.xMax = x1;
        state.yMin = y0;
        state.yMax = y1;
    }

    TraceViewState state;
    TraceData trace;
    bool loaded = true;
};

TEST_F(ViewState, PlotRectLeavesMarginsForTheLabels)
{
    EXPECT_EQ(state.plotRect, QRect(25, 0, 1000, 500));
}

TEST_F(ViewState, MapsDistancesAndLevelsToPixels)
{
    addRamp();
    window(0, 1000, 0, 50);
    EXPECT_EQ(state.distanceToColumn(0.0f), 25);
    EXPECT_EQ(state.distanceToColumn(499.99f), 524); // truncated, not rounded
    EXPECT_EQ(state.distanceToColumn(500.0f), 525);
    EXPECT_FLOAT_EQ(state.columnToDistance(525), 500.0f);
    EXPECT_EQ(state.levelToRow(0.0f, 0), 500);
    EXPECT_EQ(state.levelToRow(50.0f, 0), 0);
    EXPECT_EQ(state.levelToRow(25.0f, -7), 243); // negative offset lifts the curve
}

struct SetViewCase {
    const char *name;
    float x0, x1, y0, y1;
    bool applied;
    float xMin, xMax, yMin, yMax;
};

TEST_F(ViewState, SetViewAppliesItsLimits)
{
    const SetViewCase cases[] = {
        {"ten samples", 100, 109.5f, 0, 50, true, 100, 109.5f, 0, 50},
        {"nine samples", 100, 109.0f, 0, 50, false, 0, 1000, 0, 50},
        {"0.01 dB exactly", 0, 1000, 0, 0.01f, false, 0, 1000, 0, 50},
        {"0.0101 dB", 0, 1000, 0, 0.0101f, true, 0, 1000, 0, 0.0101f},
        {"negative start", -100, 500, 0, 50, true, 0, 500, 0, 50},
        {"level clamp", 0, 1000, -5, 60, true, 0, 1000, 0, 50},
        {"clamped to nothing above", 0, 1000, 50, 70, false, 0, 1000, 0, 50},
        {"clamped to nothing below", 0, 1000, -20, -5, false, 0, 1000, 0, 50},
        {"clamped to a sliver", 0, 1000, 49.995f, 60, false, 0, 1000, 0, 50},
        {"entirely before the start", -100, -50, 0, 50, false, 0, 1000, 0, 50},
        {"reversed x", 500, 100, 0, 50, false, 0, 1000, 0, 50},
        {"reversed y", 0, 1000, 40, 10, false, 0, 1000, 0, 50},
        {"empty x", 300, 300, 0, 50, false, 0, 1000, 0, 50},
        {"empty y", 0, 1000, 20, 20, false, 0, 1000, 0, 50},
    };
    addRamp();
    for (const SetViewCase &c : cases) {
        SCOPED_TRACE(c.name);
        state.SetView(0, 1000, 0, 50, true);
        const uint64_t version = state.layerVersion();
        state.SetView(c.x0, c.x1, c.y0, c.y1, true);
        EXPECT_EQ(state.layerVersion() != version, c.applied);
        EXPECT_FLOAT_EQ(state.xMin, c.xMin);
        EXPECT_FLOAT_EQ(state.xMax, c.xMax);
        EXPECT_FLOAT_EQ(state.yMin, c.yMin);
        EXPECT_FLOAT_EQ(state.yMax, c.yMax);
    }
}

TEST_F(ViewState, SetViewIgnoresEverythingWithoutCurves)
{
    state.SetView(0, 1000, 0, 20, true);
    EXPECT_EQ(state.xMax, 0.0f);
    EXPECT_EQ(state.yMax, 50.0f);
    state.ResetView();
    state.ZoomInH(0.02f);
    EXPECT_EQ(state.xMax, 0.0f);
}

TEST_F(ViewState, SetViewWidensFullScaleAndUpdatesScrollState)
{
    addRamp();
    state.SetView(250.7f, 1500.9f, 10.0f, 30.0f, true);
    EXPECT_FLOAT_EQ(state.fullScale, 1500.9f);
    EXPECT_EQ(state.hScroll.maximum, 1500);
    EXPECT_EQ(state.hScroll.position, 250);
    EXPECT_EQ(state.hScroll.page, 1250);
    EXPECT_EQ(state.hScroll.lineStep, 25);
    EXPECT_FLOAT_EQ(state.vScroll.page, 20000.0f);
    EXPECT_FLOAT_EQ(state.vScroll.lineStep, 400.0f);
    EXPECT_FLOAT_EQ(state.vScroll.position, 10000.0f);
    EXPECT_FLOAT_EQ(state.dbPerPixel, 20.0f / 500.0f);

    const HorizontalScroll before = state.hScroll;
    state.SetView(300, 900, 0, 50, false);
    EXPECT_EQ(state.hScroll.position, before.position);
}

TEST_F(ViewState, ZoomsAboutTheCursorCentre)
{
    addRamp();
    state.activeCursor = 3;
    state.cursorA.distance = 200;
    state.cursorB.distance = 800;
    EXPECT_FLOAT_EQ(state.zoomCentre(), 500.0f);
    state.ZoomInH(0.02f);
    EXPECT_FLOAT_EQ(state.xMin, 500.0f - 500.0f * 0.98f);
    EXPECT_FLOAT_EQ(state.xMax, 500.0f + 500.0f * 0.98f);
    EXPECT_FLOAT_EQ((state.xMin + state.xMax) / 2, 500.0f);

    // Zooming out past the full view clamps to it.
    state.ZoomOutH(0.02f);
    state.ZoomOutH(0.02f);
    EXPECT_FLOAT_EQ(state.xMin, 0.0f);
    EXPECT_FLOAT_EQ(state.xMax, 1000.0f);

    // Vertical zoom keeps the level under the centre on the same row.
    state.activeCursor = 1;
    state.cursorA.distance = 399.5f; // ValueAt reads sample 400: 4 dB
    const float v = state.ValueAt(399.5f);
    ASSERT_FLOAT_EQ(v, 4.0f);
    state.ZoomInV(0.02f);
    EXPECT_FLOAT_EQ(state.yMin, 4.0f - 4.0f * 0.98f);
    EXPECT_FLOAT_EQ(state.yMax, 4.0f + 46.0f * 0.98f);
    state.ZoomOutV(0.02f);
    EXPECT_NEAR(state.yMin, 0.0f, 1e-5);
    EXPECT_NEAR(state.yMax, 50.0f, 1e-4);
}

TEST_F(ViewState, ResetViewClearsOffsetsAndShowsEverything)
{
    addRamp();
    state.SetView(100, 300, 10, 20, true);
    state.MoveCurve(-10);
    EXPECT_EQ(state.curves[0].pixelOffset, -10);
    state.ResetView();
    EXPECT_EQ(state.curves[0].pixelOffset, 0);
    EXPECT_FLOAT_EQ(state.xMin, 0.0f);
    EXPECT_FLOAT_EQ(state.xMax, 1000.0f);
    EXPECT_FLOAT_EQ(state.yMin, 0.0f);
    EXPECT_FLOAT_EQ(state.yMax, 50.0f);
}

TEST_F(ViewState, ValueAtReadsTheLaterSample)
{
    addRamp(1000, 2.0f);
    struct Case {
        float d;
        float level;
    } const cases[] = {
        {0.0f, 0.01f},           // sample 1, not 0
        {6.0f, 0.03f},           // exactly 3 spacings: sample 3
        {6.0011f, 0.04f},        // a hair above 3 spacings + 0.001: sample 4
        {5.0f, 0.03f},           // between samples 2 and 3 reads 3
        {1.0e6f, 9.99f},         // beyond the end: the last level
        {-50.0f, 0.0f},          // before the start: the first
    };
    for (const Case &c : cases)
        EXPECT_FLOAT_EQ(state.ValueAt(c.d), c.level) << c.d;

    state.currentCurve = 5;
    EXPECT_EQ(state.ValueAt(10.0f), 0.0f);
}

TEST_F(ViewState, CursorSampleIndexFollowsTheActiveCursor)
{
    addRamp(1000, 2.0f);
    state.cursorA.distance = 10.0f;
    state.cursorB.distance = 21.0f;
    state.activeCursor = 1;
    EXPECT_EQ(state.CursorSampleIndex(), 4);
    state.activeCursor = 2;
    EXPECT_EQ(state.CursorSampleIndex(), 10);
    state.activeCursor = 3;
    EXPECT_EQ(state.CursorSampleIndex(), 0);
}

TEST_F(ViewState, HitTestPicksTheNearerCursorWithinFivePixels)
{
    addRamp();
    state.cursorA.distance = 100; // column 125
    state.cursorB.distance = 106; // column 131
    EXPECT_EQ(state.HitTestCursor(125 - 5), 1);
    EXPECT_EQ(state.HitTestCursor(125 - 6), 0);
    EXPECT_EQ(state.HitTestCursor(128), 1); // 3 from each: A
    EXPECT_EQ(state.HitTestCursor(129), 2);
    EXPECT_EQ(state.HitTestCursor(136), 2);
    EXPECT_EQ(state.HitTestCursor(137), 0);

    state.SetView(200, 1000, 0, 50, true); // A out of the window is never hit
    state.cursorA.distance = 150;
    EXPECT_EQ(state.HitTestCursor(state.plotRect.left()), 0);
}

TEST_F(ViewState, DraggingSnapsToTheLowerSampleAndCarriesTheOtherCursor)
{
    addRamp(500, 2.0f); // 1000 m over 1000 columns: one sample every 2 columns
    state.cursorA.distance = 100;
    state.cursorB.distance = 300;
    state.activeCursor = 3;
    state.dragTarget = 1;
    state.DragCursorTo(25 + 151); // 151 m lies between samples at 150 m and 152 m
    EXPECT_FLOAT_EQ(state.cursorA.distance, 150.0f);
    EXPECT_EQ(state.cursorA.column, 176);
    EXPECT_EQ(state.cursorA.distanceText, QStringLiteral("150.000m"));
    EXPECT_FLOAT_EQ(state.cursorB.distance, 350.0f);
    EXPECT_EQ(state.cursorB.column, 375);
    EXPECT_EQ(state.cursorB.distanceText, QStringLiteral("350.000m"));

    state.activeCursor = 1;
    state.dragTarget = 2;
    state.DragCursorTo(25 + 500);
    EXPECT_FLOAT_EQ(state.cursorB.distance, 498.0f); // (500 - 0.001) / 2 truncates to 249
    EXPECT_FLOAT_EQ(state.cursorA.distance, 150.0f);
}

TEST_F(ViewState, StepsAccumulateOnTheStoredColumn)
{
    addRamp(100, 10.0f); // one sample every 10 columns
    state.activeCursor = 1;
    state.cursorA.column = 100;
    state.StepCursor(2);
    state.StepCursor(2);
    state.StepCursor(2);
    EXPECT_EQ(state.cursorA.column, 106);
    EXPECT_FLOAT_EQ(state.cursorA.distance, 80.0f); // 81 m snaps down to sample 8
    EXPECT_EQ(state.dragTarget, 0);

    // Both cursors: a positive step moves the right-hand one and the other follows.
    state.activeCursor = 3;
    state.cursorA.column = 200;
    state.cursorA.distance = 170;
    state.cursorB.column = 300;
    state.cursorB.distance = 270;
    state.StepCursor(10);
    EXPECT_EQ(state.cursorB.column, 310);
    EXPECT_FLOAT_EQ(state.cursorB.distance, 280.0f);
    EXPECT_FLOAT_EQ(state.cursorA.distance, 180.0f);
    EXPECT_EQ(state.cursorA.column, 205); // the follower's column comes from its distance
    state.StepCursor(-10);
    EXPECT_EQ(state.cursorA.column, 195);
}

TEST_F(ViewState, StepsThatLeaveThePlotDoNothing)
{
    addRamp();
    state.activeCursor = 1;
    state.cursorA.column = 1024; // last column of the plot
    state.cursorA.distance = 999;
    state.dragTarget = 2;
    state.StepCursor(2);
    EXPECT_EQ(state.cursorA.column, 1024);
    EXPECT_FLOAT_EQ(state.cursorA.distance, 999.0f);
    EXPECT_EQ(state.dragTarget, 0);

    state.cursorA.column = 25;
    state.StepCursor(-1);
    EXPECT_EQ(state.cursorA.column, 25);
}

TEST_F(ViewState, MoveCursorToEventMovesOnlyTheActiveCursor)
{
    TraceCurve c = rampCurve();
    c.markers = {{10, 11.0f}, {500, 501.0f}};
    state.AddCurve(c);
    state.cursorA.column = 77;
    state.activeCursor = 1;
    state.MoveCursorToEvent(1);
    EXPECT_FLOAT_EQ(state.cursorA.distance, 501.0f);
    EXPECT_EQ(state.cursorA.column, 77);
    state.activeCursor = 2;
    state.MoveCursorToEvent(0);
    EXPECT_FLOAT_EQ(state.cursorB.distance, 11.0f);
    state.activeCursor = 3;
    state.MoveCursorToEvent(1);
    state.MoveCursorToEvent(2); // no such mark
    EXPECT_FLOAT_EQ(state.cursorA.distance, 501.0f);
    EXPECT_FLOAT_EQ(state.cursorB.distance, 11.0f);
}

TEST_F(ViewState, RemovingTheLastTraceForgetsItsDistances)
{
    // Both ways of emptying the view: one curve at a time and all at once.
    for (const bool oneByOne : {true, false}) {
        SCOPED_TRACE(oneByOne ? "RemoveCurve" : "RemoveAllCurves");
        addRamp();
        addRamp(2000);
        state.cursorA.distance = 650.0f;
        state.cursorB.distance = 1800.0f;
        if (oneByOne) {
            state.RemoveCurve(1);
            EXPECT_FLOAT_EQ(state.xMax, 1000.0f); // one trace left: its window stays
            state.RemoveCurve(0);
        } else {
            state.RemoveAllCurves();
        }
        EXPECT_FLOAT_EQ(state.xMin, 0.0f);
        EXPECT_FLOAT_EQ(state.xMax, 0.0f);
        EXPECT_EQ(state.hScroll.maximum, 0);
        loaded = false;
        state.UpdateCursorTexts(QStringLiteral("m"));
        EXPECT_EQ(state.cursorLabel(state.cursorA), QStringLiteral("A 0.00m 0.00dB"));
        EXPECT_EQ(state.abReadoutText(), QStringLiteral("A-B:  0.00m  0.00dB  -- dB/km"));
        loaded = true;
    }
}

TEST_F(ViewState, PlaceCursorsUsesTheTraceThenItsEvents)
{
    addRamp();
    EXPECT_FLOAT_EQ(state.cursorA.distance, 0.0f);
    EXPECT_EQ(state.cursorA.column, 25);
    EXPECT_EQ(state.cursorB.column, 25 + 333);
    EXPECT_FLOAT_EQ(state.cursorB.distance, 333.0f);

    TraceEvent start, splice, end;
    start.codeLetter = 'S';
    start.distance = 40;
    splice.codeLetter = 'F';
    splice.distance = 500;
    end.codeLetter = 'E';
    end.distance = 900;
    trace.events = {start, splice, end};
    state.PlaceCursors();
    EXPECT_FLOAT_EQ(state.cursorA.distance, 40.0f);
    EXPECT_EQ(state.cursorA.column, 65);
    EXPECT_FLOAT_EQ(state.cursorB.distance, 900.0f);
    EXPECT_EQ(state.cursorB.column, 925);

    trace.cursorA = 120;
    trace.cursorB = 640;
    state.PlaceCursors();
    EXPECT_FLOAT_EQ(state.cursorA.distance, 120.0f);
    EXPECT_FLOAT_EQ(state.cursorB.distance, 640.0f);
    EXPECT_EQ(state.cursorB.column, 665);

    loaded = false;
    state.cursorA.distance = 5;
    state.PlaceCursors();
    EXPECT_FLOAT_EQ(state.cursorA.distance, 5.0f);
}

TEST_F(ViewState, FullScaleFollowsTheMultiTraceSwitch)
{
    addRamp(1000);
    addRamp(400);
    EXPECT_EQ(state.currentCurve, 1);
    EXPECT_FLOAT_EQ(state.fullScale, 1000.0f);
    EXPECT_FLOAT_EQ(state.xMax, 1000.0f);
    EXPECT_EQ(state.hScroll.maximum, 1000);

    state.singleCurveMode = 1;
    addRamp(300);
    EXPECT_FLOAT_EQ(state.fullScale, 300.0f);
    EXPECT_EQ(state.curves[0].visible, 0);
    EXPECT_EQ(state.curves[1].visible, 0);
    EXPECT_EQ(state.curves[2].visible, 1);

    state.SelectCurve(0);
    EXPECT_FLOAT_EQ(state.fullScale, 1000.0f);
    EXPECT_EQ(state.curves[2].visible, 0);
}

TEST_F(ViewState, RemovingCurvesKeepsTheCurrentIndexValid)
{
    addRamp(1000);
    addRamp(600);
    addRamp(300);
    state.curves[0].showMarkers = 0;
    state.RemoveCurve(7); // no such curve
    EXPECT_EQ(state.curves.size(), 3u);
    state.RemoveCurve(2);
    EXPECT_EQ(state.currentCurve, 1);
    state.SelectCurve(0);
    EXPECT_EQ(state.curves[0].showMarkers, 1);
    state.RemoveCurve(0);
    EXPECT_EQ(state.currentCurve, 0);
    EXPECT_FLOAT_EQ(state.fullScale, 600.0f);
    state.RemoveCurve(0);
    EXPECT_TRUE(state.curves.empty());
    EXPECT_EQ(state.currentCurve, 0);
    EXPECT_EQ(state.current(), nullptr);
    EXPECT_EQ(state.ValueAt(10), 0.0f);

    addRamp();
    addRamp();
    const uint64_t version = state.layerVersion();
    state.RemoveAllCurves();
    EXPECT_TRUE(state.curves.empty());
    EXPECT_NE(state.layerVersion(), version);
}

TEST_F(ViewState, SelectingAnInvalidCurveKeepsAValidOne)
{
    addRamp();
    addRamp();
    state.SelectCurve(0);
    state.SelectCurve(9);
    EXPECT_EQ(state.currentCurve, 0);
    state.currentCurve = 9;
    state.SelectCurve(-1);
    EXPECT_EQ(state.currentCurve, 1);
}

TEST_F(ViewState, SetMarkersRebuildsFromTheEvents)
{
    addRamp();
    TraceEvent a, b;
    a.index = 3;
    a.distance = 4;
    b.index = 99;
    b.distance = 100;
    trace.events = {a, b};
    state.SetMarkers(0, trace);
    ASSERT_EQ(state.curves[0].markers.size(), 2u);
    EXPECT_EQ(state.curves[0].markers[1].sampleIndex, 99);
    EXPECT_FLOAT_EQ(state.curves[0].markers[1].distance, 100.0f);
}

TEST_F(ViewState, CurveWithFewerLevelsThanSamplesIsNeverReadPastItsEnd)
{
    TraceCurve c = rampCurve(100);
    c.sampleCount = 100000; // claims more than it carries
    state.AddCurve(c);
    EXPECT_EQ(state.curves[0].sampleCount, 100);
    EXPECT_FLOAT_EQ(state.ValueAt(5.0e4f), 0.99f);
}

TEST_F(ViewState, ZeroSpacingCurveDoesNotBringTheViewDown)
{
    // A group index of 0 in a file gives a spacing and length that mean nothing.
    TraceCurve c = rampCurve(100, 0.0f);
    state.AddCurve(c);
    EXPECT_FLOAT_EQ(state.xMax, 0.0f); // an empty window is refused
    EXPECT_FALSE(std::isnan(state.ValueAt(10.0f)));
    state.dragTarget = 1;
    state.DragCursorTo(100);
    EXPECT_FALSE(std::isnan(state.cursorA.distance));
    state.ZoomInH(0.02f);
    state.StepCursor(2);
    EXPECT_EQ(state.CursorSampleIndex(), 0);

    state.curves[0].spacing = std::nanf("");
    state.curves[0].length = std::numeric_limits<float>::infinity();
    state.RefreshCurves();
    EXPECT_FALSE(std::isnan(state.ValueAt(10.0f)));
}

TEST_F(ViewState, BuildTraceCurveTakesTheTraceValues)
{
    trace.sampleCount = 3;
    trace.fibreLength = 12.5f;
    trace.sampleSpacing = 4.0f;
    trace.gps = QStringLiteral("N 1 E 2");
    TraceEvent e;
    e.index = 2;
    e.distance = 12.0f;
    trace.events = {e};
    const TraceCurve c = buildTraceCurve(trace, {1, 2, 3}, 7.0f);
    EXPECT_EQ(c.sampleCount, 3);
    EXPECT_FLOAT_EQ(c.length, 12.5f);
    EXPECT_FLOAT_EQ(c.spacing, 4.0f);
    EXPECT_FLOAT_EQ(c.userOffset, 7.0f);
    EXPECT_EQ(c.caption, QStringLiteral("N 1 E 2"));
    ASSERT_EQ(c.markers.size(), 1u);
    EXPECT_EQ(c.markers[0].sampleIndex, 2);
    EXPECT_EQ(c.visible, 1);
    EXPECT_EQ(c.showMarkers, 1);
}

// Mouse input.

TEST_F(ViewState, PressNearACursorDragsIt)
{
    addRamp();
    state.cursorA.distance = 100; // column 125
    state.cursorB.distance = 600;
    state.activeCursor = 2;
    state.Press(QPoint(130, 200));
    EXPECT_EQ(state.dragTarget, 1);
    EXPECT_EQ(state.activeCursor, 1);
    EXPECT_EQ(state.mouseDown, 1);
    state.Move(QPoint(225, 210));
    EXPECT_FLOAT_EQ(state.cursorA.distance, 199.0f);
    // Past the right edge the cursor stays at its last place; the release still ends the drag.
    state.Move(QPoint(1030, 210));
    EXPECT_FLOAT_EQ(state.cursorA.distance, 199.0f);
    state.Release(QPoint(1100, 600));
    EXPECT_EQ(state.mouseDown, 0);
    EXPECT_EQ(state.dragTarget, 0);
}

TEST_F(ViewState, ZoomBoxFromUpperLeftToLowerRightZooms)
{
    addRamp();
    state.cursorA.distance = 900;
    state.cursorB.distance = 950;
    state.Press(QPoint(125, 100));
    EXPECT_EQ(state.dragTarget, 0);
    state.Move(QPoint(300, 250));
    EXPECT_EQ(state.zoomEnd, QPoint(300, 250));
    state.Release(QPoint(325, 300));
    EXPECT_FLOAT_EQ(state.xMin, 100.0f);
    EXPECT_FLOAT_EQ(state.xMax, 300.0f);
    EXPECT_FLOAT_EQ(state.yMin, 20.0f);
    EXPECT_FLOAT_EQ(state.yMax, 40.0f);
    EXPECT_EQ(state.zoomStart, QPoint());
    EXPECT_EQ(state.zoomEnd, QPoint());
}

TEST_F(ViewState, OtherBoxesAndClicksLeaveTheWindow)
{
    addRamp();
    state.cursorA.distance = 900;
    state.cursorB.distance = 950;
    const QPoint presses[][2] = {
        {{325, 300}, {125, 100}}, // lower-right to upper-left
        {{325, 100}, {125, 300}}, // upper-right to lower-left
        {{200, 200}, {200, 200}}, // a click
        {{200, 100}, {205, 300}}, // five metres: fewer than 10 samples
    };
    for (const auto &p : presses) {
        state.Press(p[0]);
        state.Move(p[1]);
        state.Release(p[1]);
        EXPECT_FLOAT_EQ(state.xMin, 0.0f);
        EXPECT_FLOAT_EQ(state.xMax, 1000.0f);
        EXPECT_FLOAT_EQ(state.yMax, 50.0f);
        EXPECT_EQ(state.mouseDown, 0);
    }
}

TEST_F(ViewState, PressOutsideThePlotChangesNothingAndASecondPressKeepsTheBox)
{
    addRamp();
    state.cursorA.distance = 900;
    state.cursorB.distance = 950;
    state.Press(QPoint(10, 100)); // level-label margin
    EXPECT_EQ(state.mouseDown, 0);
    state.Press(QPoint(100, 100));
    state.Move(QPoint(200, 200));
    state.Press(QPoint(300, 300)); // the release was lost
    EXPECT_EQ(state.zoomStart, QPoint(100, 100));
    EXPECT_EQ(state.mouseDown, 1);
    state.Press(QPoint(927, 300)); // on cursor A's line: becomes a drag
    EXPECT_EQ(state.dragTarget, 1);
}

// Scroll bars.

TEST_F(ViewState, HorizontalScrollingMovesTheWindow)
{
    addRamp(10000, 1.0f);
    state.SetView(300, 1300, 0, 50, true);
    ASSERT_EQ(state.hScroll.page, 1000);
    ASSERT_EQ(state.hScroll.lineStep, 20);

    state.HScroll(ScrollAction::PageBack, 0);
    EXPECT_FLOAT_EQ(state.xMin, 0.0f);
    EXPECT_FLOAT_EQ(state.xMax, 1000.0f);
    EXPECT_EQ(state.hScroll.position, 0);

    state.HScroll(ScrollAction::LineBack, 0); // already at 0
    EXPECT_FLOAT_EQ(state.xMin, 0.0f);

    state.HScroll(ScrollAction::LineForward, 0);
    EXPECT_FLOAT_EQ(state.xMin, 20.0f);
    EXPECT_EQ(state.hScroll.position, 20);
    state.HScroll(ScrollAction::LineBack, 0);
    EXPECT_FLOAT_EQ(state.xMin, 0.0f);

    state.HScroll(ScrollAction::PageForward, 0);
    EXPECT_FLOAT_EQ(state.xMin, 1000.0f);
    EXPECT_FLOAT_EQ(state.xMax, 2000.0f);

    state.HScroll(ScrollAction::Thumb, 8500);
    EXPECT_FLOAT_EQ(state.xMin, 8500.0f);
    EXPECT_FLOAT_EQ(state.xMax, 9500.0f);
    state.HScroll(ScrollAction::PageForward, 0); // would pass the end: the last page
    EXPECT_FLOAT_EQ(state.xMin, 9000.0f);
    EXPECT_FLOAT_EQ(state.xMax, 10000.0f);
    state.HScroll(ScrollAction::PageForward, 0);
    EXPECT_EQ(state.hScroll.position, 10000);
    EXPECT_FLOAT_EQ(state.xMax, 10000.0f);
    state.HScroll(ScrollAction::LineForward, 0); // p + P beyond the range: nothing
    EXPECT_FLOAT_EQ(state.xMax, 10000.0f);
}

TEST_F(ViewState, VerticalScrollingInThousandthsOfADb)
{
    addRamp();
    state.SetView(0, 1000, 10, 30, true);
    ASSERT_FLOAT_EQ(state.vScroll.page, 20000.0f);
    state.VScroll(ScrollAction::LineForward, 0, 60);
    EXPECT_FLOAT_EQ(state.yMin, 10.4f);
    EXPECT_FLOAT_EQ(state.yMax, 30.4f);
    state.VScroll(ScrollAction::PageBack, 0, 60);
    EXPECT_FLOAT_EQ(state.vScroll.position, 0.0f);
    EXPECT_FLOAT_EQ(state.yMin, 0.0f);
    EXPECT_FLOAT_EQ(state.yMax, 20.0f);
    state.VScroll(ScrollAction::LineBack, 0, 60); // yMin is 0: nothing
    EXPECT_FLOAT_EQ(state.yMax, 20.0f);
    state.VScroll(ScrollAction::Thumb, 35000, 60);
    EXPECT_FLOAT_EQ(state.yMin, 35.0f);
    EXPECT_FLOAT_EQ(state.yMax, 50.0f); // clamped
    // Paging past the end goes to the vertical range of the loaded files.
    state.VScroll(ScrollAction::PageForward, 0, 40);
    EXPECT_FLOAT_EQ(state.vScroll.position, 50000.0f);
    EXPECT_FLOAT_EQ(state.yMin, 20.0f);
    EXPECT_FLOAT_EQ(state.yMax, 40.0f);
    state.VScroll(ScrollAction::LineForward, 0, 40); // at the end: nothing
    EXPECT_FLOAT_EQ(state.yMax, 40.0f);
}

TEST_F(ViewState, InitialScrollBarsCoverThePlot)
{
    state.InitScrollBars();
    EXPECT_EQ(state.hScroll.maximum, 1000);
    EXPECT_EQ(state.hScroll.page, 1000);
    EXPECT_EQ(state.hScroll.position, 0);
    EXPECT_FLOAT_EQ(state.vScroll.page, 50000.0f);
    EXPECT_FLOAT_EQ(state.vScroll.position, 0.0f);
}

// Cursor texts.

struct TextCase {
    const char *unit;
    float a, b;       // m
    float offset;     // m
    const char *labelA;
    const char *ab;
};

TEST_F(ViewState, CursorTextsInEveryUnit)
{
    TraceCurve c = rampCurve(20000, 1.0f);
    for (float &v : c.levels)
        v = 12.35f;
    c.levels[1000] = 2.35f; // read by a cursor at 999.5 m .. 1000 m
    state.AddCurve(c);
    const TextCase cases[] = {
        {"m", 12345, 12345, 0, "A 12.345km 12.35dB", "A-B:  0.00m  0.00dB  -- dB/km"},
        {"m", 9999, 12345, 0, "A 9999.00m 12.35dB", "A-B:  2346.00m  0.00dB  0.000 dB/km"},
        {"m", 999.5f, 12000, 0, "A 999.50m 2.35dB", "A-B:  11.000km  10.00dB  0.909 dB/km"},
        {"m", 12345, 12345, 6000, "A 6345.00m 12.35dB", "A-B:  0.00m  0.00dB  -- dB/km"},
        {"mi", 999.5f, 1999.5f, 0, "A 0.621miles 2.35dB", "A-B:  0.621miles  10.00dB  16.093 dB/miles"},
        {"mi", 5000, 5000, 0, "A 3.107miles 12.35dB", "A-B:  0.000miles  0.00dB  -- dB/miles"},
        {"ft", 10000, 10000, 0, "A 32.810kft 12.35dB", "A-B:  0.000kft  0.00dB  -- dB/kft"},
        {"ft", 999.5f, 1999.5f, 0, "A 3.279kft 2.35dB", "A-B:  3.281kft  10.00dB  3.048 dB/kft"},
    };
    for (const TextCase &t : cases) {
        SCOPED_TRACE(std::string(t.unit) + " " + t.labelA);
        state.curves[0].userOffset = t.offset;
        state.cursorA.distance = t.a;
        state.cursorB.distance = t.b;
        state.UpdateCursorTexts(QString::fromLatin1(t.unit));
        EXPECT_EQ(state.cursorLabel(state.cursorA).toStdString(), t.labelA);
        EXPECT_EQ(state.abReadoutText().toStdString(), t.ab);
    }
}

TEST_F(ViewState, UnknownUnitKeepsDistanceTextsAndDropsTheSlope)
{
    state.AddCurve(rampCurve());
    state.cursorA.distance = 100;
    state.cursorB.distance = 200;
    state.UpdateCursorTexts(QStringLiteral("m"));
    state.cursorA.distance = 300;
    state.UpdateCursorTexts(QStringLiteral("yd"));
    EXPECT_EQ(state.cursorA.distanceText, QStringLiteral("100.00m"));
    EXPECT_EQ(state.cursorA.levelText, QStringLiteral("3.00dB"));
    EXPECT_EQ(state.abReadout.distanceText, QStringLiteral("100.00m"));
    EXPECT_TRUE(state.abReadout.slopeText.isEmpty());
}

TEST_F(ViewState, CursorMarksGiveFractionsOfTheWindow)
{
    addRamp();
    state.SetView(200, 600, 0, 50, true);
    state.cursorsVisible = 1;
    state.cursorA.distance = 300;
    state.cursorB.distance = 500;
    const ViewCursorMarks m = state.cursorMarks();
    EXPECT_TRUE(m.enabled);
    EXPECT_FLOAT_EQ(m.fractionA, 0.25f);
    EXPECT_FLOAT_EQ(m.fractionB, 0.75f);
    EXPECT_EQ(m.labelB, QStringLiteral("B"));
}

} // namespace
