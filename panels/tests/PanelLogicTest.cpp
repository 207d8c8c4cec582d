#include "panels/HoldRepeat.h"
#include "panels/InfoPanelValues.h"
#include "panels/PngButtonState.h"
#include "print/ReportTexts.h"
#include "trace/EventListText.h"
#include "trace/TraceData.h"
#include "trace/TraceDocument.h" // removeTraceSlot, rowAfterRemove
#include "trace/TraceSet.h"
#include "TestTexts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

TEST(PngButtonState, FollowsTheMouse)
{
    PngButtonState s;
    s.frameCount = 1;
    EXPECT_EQ(s.state, PngButtonState::Normal);
    EXPECT_TRUE(s.hover());
    EXPECT_FALSE(s.hover()) << "a second hover changes nothing";
    EXPECT_TRUE(s.press());
    EXPECT_EQ(s.state, PngButtonState::Pressed);
    EXPECT_TRUE(s.wasPressed);
    EXPECT_FALSE(s.press());
    EXPECT_TRUE(s.release());
    EXPECT_EQ(s.state, PngButtonState::Hover);
    EXPECT_TRUE(s.leave());
    EXPECT_EQ(s.state, PngButtonState::Normal) << "a push button returns to normal on leaving";
}

TEST(PngButtonState, StaysPressedOnceItWasPressed)
{
    PngButtonState s;
    s.behaviour = PngButtonState::StaysPressed;
    s.hover();
    s.leave();
    EXPECT_EQ(s.state, PngButtonState::Normal) << "never pressed";
    s.hover();
    s.press();
    s.release();
    s.leave();
    EXPECT_EQ(s.state, PngButtonState::Pressed);
}

TEST(PngButtonState, FrameSources)
{
    struct Case {
        QSize image;
        int frames;
        int state;
        std::optional<QRect> expected;
    };
    const Case cases[] = {
        {{48, 48}, 1, 3, QRect(0, 0, 48, 48)},
        {{96, 48}, 2, 3, QRect(0, 0, 48, 48)},     // left half whatever the state
        {{90, 30}, 3, 2, QRect(30, 0, 30, 30)},
        {{100, 30}, 3, 3, QRect(66, 0, 34, 30)},   // the last third runs to the full width
        {{100, 30}, 3, 4, std::nullopt},           // three pictures have none for disabled
        {{120, 30}, 4, 4, QRect(90, 0, 30, 30)},
        {{102, 30}, 4, 4, QRect(75, 0, 25, 30)},   // a quarter wide, unlike the last third
        {{102, 30}, 4, 1, QRect(0, 0, 25, 30)},
        {{48, 48}, 0, 1, std::nullopt},
        {{0, 0}, 1, 1, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(frameSource(c.image, c.frames, c.state), c.expected) << c.image.width() << " " << c.frames << " "
                                                                       << c.state;
}

TEST(PngButtonState, FramePositionAndSize)
{
    EXPECT_EQ(framePosition({64, 64}, {48, 48}, 1), QPoint(8, 8));
    EXPECT_EQ(framePosition({40, 41}, {48, 48}, 1), QPoint(-4, -3)) << "clipped on all sides";
    EXPECT_EQ(framePosition({64, 64}, {30, 30}, 3), QPoint(0, 0));
    EXPECT_EQ(frameSize({90, 30}, 3), QSize(30, 30));
    EXPECT_EQ(frameSize({48, 48}, 1), QSize(48, 48));
    EXPECT_EQ(frameSize({96, 48}, 2), QSize(96, 48));
}

TEST(HoldRepeat, OneSecondHoldStepsSmallThenLarge)
{
    HoldRepeat hold;
    hold.press(HoldRepeat::CursorRight);
    int total = 0;
    for (int tick = 1; tick <= 20; ++tick) {
        const HoldRepeat::Step step = hold.tick();
        ASSERT_EQ(step.action, HoldRepeat::CursorRight);
        EXPECT_EQ(step.pixels, tick <= 6 ? 2 : 10) << "tick " << tick;
        total += step.pixels;
    }
    EXPECT_EQ(total, 6 * 2 + 14 * 10);
    EXPECT_EQ(hold.heldMs(), 1000);
    hold.release();
    EXPECT_EQ(hold.heldMs(), 0);
    EXPECT_EQ(hold.repeatAction(), HoldRepeat::None);
    EXPECT_EQ(hold.tick().action, HoldRepeat::None) << "nothing repeats after the release";
}

TEST(HoldRepeat, StepsOfEveryAction)
{
    struct Case {
        HoldRepeat::Action action;
        float factor;
        int small;
        int large;
    };
    const Case cases[] = {
        {HoldRepeat::ZoomInH, 0.02f, 0, 0},     {HoldRepeat::ZoomOutH, 0.02f, 0, 0},
        {HoldRepeat::ZoomInV, 0.02f, 0, 0},     {HoldRepeat::ZoomOutV, 0.02f, 0, 0},
        {HoldRepeat::CursorLeft, 0.0f, -2, -10}, {HoldRepeat::CursorRight, 0.0f, 2, 10},
        {HoldRepeat::CurveUp, 0.0f, -1, -10},   {HoldRepeat::CurveDown, 0.0f, 1, 10},
    };
    for (const Case &c : cases) {
        const HoldRepeat::Step small = HoldRepeat::stepFor(c.action, 250);
        const HoldRepeat::Step large = HoldRepeat::stepFor(c.action, 300);
        EXPECT_EQ(small.zoomFactor, c.factor) << c.action;
        EXPECT_EQ(large.zoomFactor, c.factor) << c.action;
        EXPECT_EQ(small.pixels, c.small) << c.action;
        EXPECT_EQ(large.pixels, c.large) << c.action;
    }
}

TEST(HoldRepeat, ActiveCursorCycles)
{
    EXPECT_EQ(nextActiveCursor(1), 2);
    EXPECT_EQ(nextActiveCursor(2), 3);
    EXPECT_EQ(nextActiveCursor(3), 1);
    EXPECT_EQ(nextActiveCursor(0), 1);
    EXPECT_EQ(nextActiveCursor(9), 1);
}

TEST(InfoPanelValues, TestRangeByUnit)
{
    EXPECT_EQ(testRangeText(10000, "m"), "10.00 km");
    EXPECT_EQ(testRangeText(10500, "m"), "10.50 km") << "metres below a kilometre are kept";
    EXPECT_EQ(testRangeText(10000, "ft"), "32.81 kft");
    EXPECT_EQ(testRangeText(10000, "mi"), "6.21 miles");
    EXPECT_EQ(testRangeText(10000, "yd"), "");
}

TEST(InfoPanelValues, FiberTypeNames)
{
    const TextLookup texts = testTexts();
    const std::pair<int, const char *> cases[] = {
        {651, "Multi-Mode Fiber"},
        {652, "Singlemode Fiber"},
        {653, "Dispersion Shifted Fiber"},
        {654, "Singlemode Fiber"},
        {655, "NZ Dispersion Shifted Singlemode Fiber"},
        {0, "Singlemode Fiber"},
    };
    for (const auto &[code, name] : cases)
        EXPECT_EQ(lookupText(texts, fiberTypeTextId(code)), QString::fromLatin1(name)) << code;
}

// The screen and the report read the same trace the same way: one date rule (the machine's
// local time), one set of event-row rules, one unit for the A-B readout.
TEST(ScreenAndReport, TestDateInLocalTimeOnBoth)
{
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    EXPECT_EQ(fileDateText(1767225600), "2026-01-01 09:00:00");
    EXPECT_EQ(reportDateText(1767225600), "2026-01-01 09:00:00");
    EXPECT_EQ(fileDateText(0), "1970-01-01 09:00:00");
    EXPECT_EQ(fileDateText(-1), "");
    EXPECT_EQ(reportDateText(-1), "") << "no date stored, not 1970";
    unsetenv("TZ");
    tzset();
}

TEST(ScreenAndReport, EventRowsFollowOneRule)
{
    struct Case {
        const char *name;
        float userOffset;
        float reflectance; // of the middle event
        float slope;       // of the middle event
    };
    const Case cases[] = {
        {"plain", 0.0f, -45.2f, 0.2f},
        {"offset beyond 5 km is taken as unset", 6000.0f, -45.2f, 0.2f},
        {"offset within 5 km counts", 300.0f, -45.2f, 0.2f},
        {"saturated reflectance is marked", 0.0f, -14.588f, 0.2f},
        {"floor reflectance is marked", 0.0f, -70.077f, 0.2f},
        {"no slope measured", 0.0f, -45.2f, 0.0f},
    };
    ReportLabels labels;
    labels.reflect = QStringLiteral("Reflect");
    labels.nonReflect = QStringLiteral("Non-Reflect");
    for (const Case &c : cases) {
        TraceData t;
        t.userOffset = c.userOffset;
        const float distances[] = {0.0f, 6200.0f, 9000.0f};
        for (int i = 0; i < 3; ++i) {
            TraceEvent e;
            e.distance = distances[i];
            e.typeDigit = 1;
            e.codeLetter = i == 2 ? 'E' : 'F';
            e.loss = 0.5f;
            e.totalLoss = 1.0f + static_cast<float>(i);
            e.attenuation = i == 1 ? c.slope : 0.2f;
            e.reflectance = i == 1 ? c.reflectance : -14.0f;
            t.events.push_back(e);
        }
        for (const char *unit : {"m", "mi", "ft"}) {
            const std::vector<EventRow> screen = eventListRows(t, QString::fromLatin1(unit), 3);
            const std::vector<std::array<QString, 7>> paper = eventRows(t, QString::fromLatin1(unit), labels);
            ASSERT_EQ(screen.size(), paper.size()) << c.name;
            for (size_t r = 0; r < screen.size(); ++r) {
                for (int col = 1; col <= 5; ++col)
                    EXPECT_EQ(screen[r].columns[static_cast<size_t>(col)], paper[r][static_cast<size_t>(col)])
                        << c.name << ", " << unit << ", row " << r << ", column " << col;
                // The report shows three decimals of the reflectance, with the same marks.
                EXPECT_EQ(screen[r].columns[6].left(1), paper[r][6].left(1)) << c.name << ", row " << r;
            }
        }
    }
}

TEST(ScreenAndReport, AbReadoutHonoursTheDistanceUnit)
{
    const CursorPair c{1000.0f, 30.0f, 13000.0f, 27.6f};
    EXPECT_EQ(abTexts(c, QStringLiteral("m")).distance, "12.000 Km");
    EXPECT_EQ(abTexts(c, QStringLiteral("mi")).distance, "7.457 miles");
    EXPECT_EQ(abTexts(c, QStringLiteral("mi")).slope, "0.322 dB/miles");
    EXPECT_EQ(abTexts(c, QStringLiteral("ft")).distance, "39.372 kft");
    EXPECT_EQ(abTexts(c, QStringLiteral("ft")).loss, "2.400 dB");
}

TEST(InfoPanelValues, AllFieldsOfATrace)
{
    TraceData t;
    t.wavelengthNm = 1550;
    t.sampleCount = 16000;
    t.rangeMetres = 12500;
    t.averagingTime = 30;
    t.pulseWidthNs = 1000;
    t.refractiveIndex = 1.4682f;
    t.cableId = "CBL 7";
    t.fiberId = "F 12";
    t.fiberType = 655;
    t.operatorName = "  J. Smith  ";
    t.timestamp = 1767225600;
    const InfoPanelValues v = infoPanelValues(t, "link.sor", "m", testTexts());
    EXPECT_EQ(v.wavelength, "1550nm");
    EXPECT_EQ(v.sampleCount, "16000");
    EXPECT_EQ(v.testRange, "12.50 km");
    EXPECT_EQ(v.averagingTime, "30S");
    EXPECT_EQ(v.pulseWidth, "1 us");
    EXPECT_EQ(v.refractiveIndex, "1.468");
    EXPECT_EQ(v.cableId, "CBL 7");
    EXPECT_EQ(v.fiberId, "F 12");
    EXPECT_EQ(v.fiberType, "NZ Dispersion Shifted Singlemode Fiber");
    EXPECT_EQ(v.operatorName, "  J. Smith  ") << "shown exactly as stored";
    EXPECT_EQ(v.fileName, "link.sor");
    EXPECT_EQ(v.fileDate, "2026-01-01 00:00:00");
}

namespace {

// A trace set with `n` named files in slots 0..n-1.
void fillSet(TraceSet &set, int n)
{
    for (int i = 0; i < n; ++i) {
        set.slots[i].loaded = 1;
        set.slots[i].fileName = QString(QChar('a' + i)) + ".sor";
    }
    set.loadedCount = n;
    set.currentSlot = n - 1;
}

} // namespace

TEST(TraceList, RemoveSlotClosesTheGapAndKeepsTraces)
{
    TraceSet set;
    fillSet(set, 4);
    set.currentSlot = 1;
    const TraceData *b = set.slots[1].trace.get();
    const TraceData *c = set.slots[2].trace.get();
    const TraceData *d = set.slots[3].trace.get();

    ASSERT_TRUE(removeTraceSlot(set, 1));
    EXPECT_EQ(set.loadedCount, 3);
    EXPECT_EQ(set.currentSlot, 0);
    EXPECT_EQ(set.slots[0].fileName, "a.sor");
    EXPECT_EQ(set.slots[1].fileName, "c.sor");
    EXPECT_EQ(set.slots[2].fileName, "d.sor");
    EXPECT_EQ(set.slots[1].trace.get(), c) << "each slot moves whole, with its trace";
    EXPECT_EQ(set.slots[2].trace.get(), d);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(set.slots[i].loaded, 1) << i;
    EXPECT_EQ(set.slots[7].loaded, 0);
    EXPECT_EQ(set.slots[7].trace.get(), b) << "the freed slot keeps its TraceData for reuse";
    for (const TraceSlot &slot : set.slots)
        EXPECT_NE(slot.trace, nullptr);
}

TEST(TraceList, RemoveSlotOutsideTheLoadedOnesChangesNothing)
{
    TraceSet set;
    fillSet(set, 2);
    EXPECT_FALSE(removeTraceSlot(set, 2));
    EXPECT_FALSE(removeTraceSlot(set, -1));
    EXPECT_EQ(set.loadedCount, 2);
    EXPECT_EQ(set.slots[1].fileName, "b.sor");

    set.currentSlot = 0;
    ASSERT_TRUE(removeTraceSlot(set, 0));
    EXPECT_EQ(set.currentSlot, 0) << "current slot 0 stays 0";
    EXPECT_EQ(set.slots[0].fileName, "b.sor");
}

TEST(TraceList, RowChoices)
{
    EXPECT_EQ(nextTraceRow(1, 0), -1) << "one trace: nothing to toggle to";
    EXPECT_EQ(nextTraceRow(0, -1), -1);
    EXPECT_EQ(nextTraceRow(3, 2), 0) << "wraps past the last row";
    EXPECT_EQ(nextTraceRow(3, 0), 1);
    EXPECT_EQ(nextTraceRow(3, -1), 1);
    EXPECT_EQ(nextTraceRow(2, 1), 0);

    EXPECT_EQ(rowAfterRemove(1, 2), 1) << "the row that took the removed one's place";
    EXPECT_EQ(rowAfterRemove(2, 2), 1) << "removing the last selects the new last";
    EXPECT_EQ(rowAfterRemove(0, 0), -1) << "empty list: no selection";
}
