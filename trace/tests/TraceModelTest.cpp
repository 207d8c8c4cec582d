#include "trace/TraceData.h"
#include "trace/TraceSet.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(TraceModel, LevelsAndDistances)
{
    EXPECT_DOUBLE_EQ(levelDb(65535), 0.0);
    EXPECT_DOUBLE_EQ(levelDb(0), 65.535);
    EXPECT_FLOAT_EQ(sampleDistance(0, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(sampleDistance(99, 1.0f), 100.0f);
    EXPECT_EQ(tenToTheTenth(), 10000000000.0);
}

TEST(TraceModel, FreshTraceDefaults)
{
    TraceData t;
    EXPECT_EQ(t.colour, 0xFF0000u);
    EXPECT_EQ(t.fiberType, 652);
    EXPECT_EQ(t.eventList.count, 0);
    EXPECT_EQ(t.eventList.auxValue2, 10.0f);
    EXPECT_EQ(fallbackEventList.count, 0);
    EXPECT_EQ(fallbackEventList.auxValue2, 10.0f);
}

TEST(TraceModel, EventListResetKeepsAuxValue1AndLetters)
{
    EventList list = resetEventList();
    list.auxValue1 = 3.5f;
    list.codeLetter[0] = 'F';
    list.loss[0] = 1.0f;
    list.count = 1;
    list.reset();
    EXPECT_EQ(list.auxValue1, 3.5f);
    EXPECT_EQ(list.codeLetter[0], 'F');
    EXPECT_EQ(list.loss[0], 0.0f);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.auxValue2, 10.0f);
}

static TraceData traceWithEvents(int n)
{
    TraceData t;
    for (int i = 0; i < n; ++i) {
        TraceEvent e;
        e.index = i * 10;
        e.typeDigit = i % 2;
        e.loss = 0.1f * i;
        e.totalLoss = 0.2f * i;
        e.codeLetter = 'F';
        e.auxValue2 = 0.0f;
        t.events.push_back(e);
    }
    return t;
}

TEST(TraceModel, EventsToEventListCapacity)
{
    TraceData full = traceWithEvents(100);
    eventsToEventList(full);
    EXPECT_EQ(full.eventList.count, 100);
    EXPECT_EQ(full.eventList.index[99], 990);
    EXPECT_EQ(full.eventList.auxValue2, 0.0f) << "takes the last record's value, not 10";

    TraceData over = traceWithEvents(101);
    eventsToEventList(over);
    EXPECT_EQ(over.eventList.count, 0) << "101 events leave the list unchanged";
    EXPECT_EQ(over.eventList.auxValue2, 10.0f);
}

TEST(TraceModel, EventListToEventsUsesTheTraceMapping)
{
    TraceData t;
    t.refractiveIndex = 1.5f;
    t.samplingFrequencyMHz = 100.0f;
    t.eventList.count = 2;
    t.eventList.index[0] = 0;
    t.eventList.index[1] = 999;
    t.eventList.typeDigit[1] = 2;
    t.eventList.codeLetter[1] = 'E';
    t.eventList.totalLoss[1] = 4.25f;
    eventListToEvents(t);
    ASSERT_EQ(t.events.size(), 2u);
    // No spacing stored: it follows from the group index and the sampling frequency, with the
    // one speed of light the loader and the saver use.
    const float s = static_cast<float>(299792458.0 / (1.5 * 100.0 * 1e6) / 2.0);
    EXPECT_EQ(t.events[0].distance, s);
    EXPECT_EQ(t.events[1].distance, 1000.0f * s);
    EXPECT_EQ(t.events[1].typeDigit, 2);
    EXPECT_EQ(t.events[1].codeLetter, 'E');
    EXPECT_EQ(t.events[1].totalLoss, 4.25f);
    EXPECT_EQ(t.events[1].auxValue2, 10.0f);

    // The largest index the library can return: index + 1 in 32 bits, without overflow.
    t.eventList.count = 1;
    t.eventList.index[0] = INT32_MAX;
    eventListToEvents(t);
    ASSERT_EQ(t.events.size(), 1u);
    EXPECT_EQ(t.events[0].distance, static_cast<float>(INT32_MIN) * s);

    t.eventList.count = -3;
    eventListToEvents(t);
    EXPECT_TRUE(t.events.empty());
}

TEST(TraceSet, LookupColoursAndReset)
{
    TraceSet set;
    set.slots[0].filePath = QStringLiteral("/data/Link-A.SOR");
    set.slots[1].filePath = QStringLiteral("/data/b.sor");
    set.loadedCount = 1;
    EXPECT_TRUE(set.containsPath(QStringLiteral("/DATA/link-a.sor")));
    EXPECT_FALSE(set.containsPath(QStringLiteral("/data/b.sor"))) << "only the first loadedCount slots count";

    for (int i = 1; i <= 8; ++i)
        set.colourTable[i] = 0x100u * i;
    EXPECT_EQ(set.colourFor(1), set.colourTable[1]);
    EXPECT_EQ(set.colourFor(9), set.colourTable[1]);
    EXPECT_EQ(set.colourFor(0), set.colourTable[1]);
    EXPECT_EQ(set.colourFor(8), set.colourTable[8]);

    set.slots[0].loaded = 1;
    set.currentSlot = 0;
    set.reset();
    EXPECT_EQ(set.slots[0].loaded, 0);
    EXPECT_EQ(set.loadedCount, 0);
}

TEST(TraceSet, PathsDifferingInCaseAreOneTraceUnlessTheyAreTwoFiles)
{
    QTemporaryDir dir;
    const QString upper = dir.filePath(QStringLiteral("LINK.sor"));
    const QString lower = dir.filePath(QStringLiteral("link.sor"));
    TraceSet set;
    set.slots[0].filePath = upper;
    set.loadedCount = 1;

    // Only one spelling exists (or the medium ignores case): the same trace.
    QFile(upper).open(QIODevice::WriteOnly);
    EXPECT_TRUE(set.containsPath(lower));
    EXPECT_TRUE(set.containsPath(upper));

    // Both exist as different files on a case-sensitive file system: a second trace.
    QFile lowerFile(lower);
    ASSERT_TRUE(lowerFile.open(QIODevice::WriteOnly));
    lowerFile.close();
    EXPECT_FALSE(set.containsPath(lower));
    EXPECT_TRUE(set.containsPath(upper));
}
