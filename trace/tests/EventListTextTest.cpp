#include "trace/EventListText.h"
#include "testsupport/TraceEvents.h"

#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

using testsupport::event;

TEST(FormatReflectance, MarksSaturatedAndFloorValues)
{
    struct Case {
        float r;
        const char *expected;
    } cases[] = {
        {-45.288f, ">-45.3"}, {-60.177f, "<-60.2"}, {-45.123f, "-45.1"},
        {-14.988f, ">-15.0"}, {-30.0f, "-30.0"},    {-72.777f, "<-72.8"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatReflectance(c.r), QString::fromLatin1(c.expected)) << c.r;
}

TEST(EventListRows, FewerThanTwoEventsGiveNoRows)
{
    TraceData t;
    EXPECT_TRUE(eventListRows(t, "m", 3).empty());
    t.events.push_back(event(0, 1, 'F'));
    EXPECT_TRUE(eventListRows(t, "m", 3).empty());
}

TEST(EventListRows, RowShowsTheEventAfterTheStartWithLastLossDashed)
{
    TraceData t;
    t.events = {event(0, 1, 'F').loss(0.4f), event(1234.5f, 0, 'F').loss(0.12f).total(0.52f).attenuation(0.19f),
                event(5000.0f, 1, 'E').loss(0.8f).total(1.9f).reflectance(-45.288f).attenuation(0.2f)};
    const auto rows = eventListRows(t, "m", 3);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].columns[0], "(F)1");
    EXPECT_EQ(rows[0].columns[1], "1.235");
    EXPECT_EQ(rows[0].columns[2], "1.235"); // segment from 0, not from the start event
    EXPECT_EQ(rows[0].columns[3], "0.120");
    EXPECT_EQ(rows[0].columns[4], "0.520");
    EXPECT_EQ(rows[0].columns[5], "0.190");
    EXPECT_EQ(rows[0].columns[6], "--");
    EXPECT_EQ(rows[0].icon, 0);
    EXPECT_EQ(rows[1].columns[0], "(E)2");
    EXPECT_EQ(rows[1].columns[2], "3.766");
    EXPECT_EQ(rows[1].columns[3], "--"); // the last event's loss is never listed
    EXPECT_EQ(rows[1].columns[6], ">-45.3");
    EXPECT_EQ(rows[1].icon, 1);
}

TEST(EventListRows, NumbersRoundingToZeroCarryNoMinusSign)
{
    struct Case {
        float value;
        const char *shown;
    };
    const Case cases[] = {{-0.0004f, "0.000"}, {0.0004f, "0.000"}, {-0.0006f, "-0.001"},
                          {-0.05f, "-0.050"}, {0.0f, "--"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        TraceData t;
        t.events = {event(0, 1, 'F').loss(0.4f), event(1000.0f, 0, 'A').loss(c.value).total(c.value).attenuation(c.value),
                    event(5000.0f, 1, 'E').loss(0.8f).total(1.9f).reflectance(-45.0f).attenuation(0.2f)};
        const auto rows = eventListRows(t, "m", 3);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].columns[3], c.shown); // loss
        EXPECT_EQ(rows[0].columns[4], c.shown); // total loss
        EXPECT_EQ(rows[0].columns[5], c.shown); // slope
    }
}

TEST(EventListRows, DistanceTextsFollowUnitAndDecimals)
{
    TraceData t;
    t.events = {event(0, 1, 'F'), event(2000.0f, 0, 'X'), event(10000.0f, 1, 'E')};
    struct Case {
        const char *unit;
        int decimals;
        const char *distance;
        const char *segment;
    } cases[] = {
        {"m", 0, "10", "8"},          {"m", 2, "10.00", "8.00"},
        {"mi", 3, "6.214", "4.971"},  {"ft", 1, "32.8", "26.2"},
        {"", 3, "2", "2"},            {"km", 3, "2", "2"}, // unknown units show the row number
        {"m", 7, "10", "8"},
    };
    for (const Case &c : cases) {
        const auto rows = eventListRows(t, QString::fromLatin1(c.unit), c.decimals);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[1].columns[1], QString::fromLatin1(c.distance)) << c.unit << c.decimals;
        EXPECT_EQ(rows[1].columns[2], QString::fromLatin1(c.segment)) << c.unit << c.decimals;
    }
    EXPECT_EQ(eventListRows(t, "m", 0)[0].columns[0], "    1"); // unknown kind letter
}

TEST(EventListRows, UserOffsetAppliesWithinFiveKilometresOnly)
{
    TraceData t;
    t.events = {event(0, 1, 'F'), event(8000.0f, 1, 'E')};
    t.userOffset = 1000.0f;
    EXPECT_EQ(eventListRows(t, "m", 1)[0].columns[1], "7.0");
    EXPECT_EQ(eventListRows(t, "m", 1)[0].columns[2], "8.0"); // segment ignores the offset
    t.userOffset = 6000.0f;
    EXPECT_EQ(eventListRows(t, "m", 1)[0].columns[1], "8.0");
    t.userOffset = -5000.0f;
    EXPECT_EQ(eventListRows(t, "m", 1)[0].columns[1], "13.0");
}

TEST(EventListRows, OtherKindsRepeatTheIconAbove)
{
    TraceData t;
    t.events = {event(0, 1, 'F'), event(100, 2, 'F'), event(200, 1, 'F'), event(300, 3, 'F'),
                event(400, 0, 'E')};
    const auto rows = eventListRows(t, "m", 0);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].icon, 0);
    EXPECT_EQ(rows[1].icon, 1);
    EXPECT_EQ(rows[2].icon, 1);
    EXPECT_EQ(rows[3].icon, 0);
}

} // namespace
