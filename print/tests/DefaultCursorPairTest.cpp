#include "print/DefaultCursorPair.h"
#include "testsupport/TraceEvents.h"

#include <gtest/gtest.h>

namespace {

using testsupport::event;

TraceData traceWithSamples()
{
    TraceData trace;
    trace.sampleSpacing = 1.0f;
    trace.samples = {1000, 2000, 3000, 4000, 5000};
    trace.sampleCount = 5;
    return trace;
}

TEST(DefaultCursorPair, OwnCursorsReadLevelsOffTheSamples)
{
    TraceData trace = traceWithSamples();
    trace.cursorA = 1.5f;  // index trunc(1.499) = 1 -> 2.0
    trace.cursorB = 99.0f; // beyond the end -> last sample 5.0
    const CursorPair pair = defaultCursorPair(trace);
    EXPECT_FLOAT_EQ(pair.aDistance, 1.5f);
    EXPECT_FLOAT_EQ(pair.bDistance, 99.0f);
    EXPECT_FLOAT_EQ(pair.aLevel, 0.0f);
    EXPECT_FLOAT_EQ(pair.bLevel, 3.0f);

    trace.sampleSpacing = 0.0f;
    EXPECT_FLOAT_EQ(defaultCursorPair(trace).bLevel, 0.0f);
}

TEST(DefaultCursorPair, OneCursorAloneFallsBackToTheEvents)
{
    TraceData trace = traceWithSamples();
    trace.cursorA = 2.0f;
    trace.events = {event(10, 0, 'F'), event(500, 0, 'A').total(0.4f), event(900, 0, 'E').total(1.2f)};
    const CursorPair pair = defaultCursorPair(trace);
    EXPECT_FLOAT_EQ(pair.aDistance, 10.0f);
    EXPECT_FLOAT_EQ(pair.bDistance, 900.0f);
    EXPECT_FLOAT_EQ(pair.bLevel, 1.2f);
}

TEST(DefaultCursorPair, EndEventIsTheFirstEBeforeTheLast)
{
    struct Case {
        const char *name;
        float userOffset;
        std::vector<TraceEvent> events;
        CursorPair expected;
    };
    const Case cases[] = {
        {"first E wins", 0, {event(5, 0, 'F'), event(300, 0, 'E').total(0.7f), event(600, 0, 'E').total(0.9f), event(800, 0, 'A').total(2)},
         {5, 0, 300, 0.7f}},
        {"E only last", 0, {event(5, 0, 'F'), event(300, 0, 'A').total(0.7f), event(800, 0, 'E').total(2)}, {5, 0, 800, 2}},
        {"user offset", 250, {event(5, 0, 'F'), event(800, 0, 'A').total(2)}, {250, 0, 800, 2}},
        {"offset too far", 10001, {event(5, 0, 'F'), event(800, 0, 'A').total(2)}, {5, 0, 800, 2}},
        {"negative offset", -3, {event(5, 0, 'F'), event(800, 0, 'A').total(2)}, {5, 0, 800, 2}},
        {"one event", 0, {event(7, 0, 'F').total(0.1f)}, {7, 0, 7, 0.1f}},
        {"no events", 0, {}, {0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TraceData trace;
        trace.userOffset = c.userOffset;
        trace.events = c.events;
        const CursorPair pair = defaultCursorPair(trace);
        EXPECT_FLOAT_EQ(pair.aDistance, c.expected.aDistance);
        EXPECT_FLOAT_EQ(pair.aLevel, 0.0f);
        EXPECT_FLOAT_EQ(pair.bDistance, c.expected.bDistance);
        EXPECT_FLOAT_EQ(pair.bLevel, c.expected.bLevel);
    }
}

} // namespace
