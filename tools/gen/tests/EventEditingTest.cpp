#include "analysis/QM7ZZZ.h"
#include "tools/gen/TraceGenerator.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/EventEditing.h"
#include "trace/SorRecord.h"
#include "trace/TraceLoader.h"
#include "testsupport/BinFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

// A small loaded trace: three events on 1000 samples, n 1.5 and 100 MHz (0.999308 m a sample).
TraceData smallTrace()
{
    TraceData t;
    t.samples.assign(1000, 20000);
    t.sampleCount = 1000;
    t.refractiveIndex = 1.5f;
    t.samplingFrequencyMHz = 100.0f;
    t.pulseWidthNs = 30;
    t.wavelengthNm = 1550;
    t.backscatter = -81.0f;
    for (int32_t index : {0, 400, 900}) {
        TraceEvent e;
        e.index = index;
        e.loss = 0.2f;
        e.codeLetter = 'F';
        t.events.push_back(e);
    }
    eventsToEventList(t);
    return t;
}

bool sameList(const EventList &a, const EventList &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// What the fake library entries saw.
struct Seen {
    int32_t first = 0; // index or row
    const uint16_t *samples = nullptr;
    int32_t wavelengthOrFlag = 0;
    int32_t pulse = 0;
    uint32_t sampleCount = 0;
    EventList list{};
    float n = 0, f = 0, last = -1;
    int calls = 0;
} seen;

EventList answer; // what the fakes return

EventList fakeInsert(int32_t index, const uint16_t *samples, int32_t wavelength, int32_t pulse, uint32_t count,
                     EventList list, float n, float f, float backscatter)
{
    seen = {index, samples, wavelength, pulse, count, list, n, f, backscatter, seen.calls + 1};
    return answer;
}

EventList fakeDelete(int32_t row, const uint16_t *samples, int32_t is1550, int32_t pulse, EventList list, float n,
                     float f, float unused)
{
    seen = {row, samples, is1550, pulse, 0, list, n, f, unused, seen.calls + 1};
    return answer;
}

EventList throwingInsert(int32_t, const uint16_t *, int32_t, int32_t, uint32_t, EventList, float, float, float)
{
    throw std::runtime_error("analysis failed");
}

EventList throwingDelete(int32_t, const uint16_t *, int32_t, int32_t, EventList, float, float, float)
{
    throw 42; // not even an std::exception
}

EventList twoEvents()
{
    EventList list = resetEventList();
    list.count = 2;
    list.index[0] = 0;
    list.index[1] = 499;
    list.loss[1] = 0.7f;
    list.totalLoss[1] = 1.1f;
    list.codeLetter[1] = 'A';
    list.typeDigit[1] = 1;
    list.auxValue1 = 2.5f;
    return list;
}

class EventEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        seen = {};
        answer = twoEvents();
    }
};

TEST_F(EventEditing, InsertPassesTheTraceAndTakesTheResult)
{
    TraceData t = smallTrace();
    t.sampleCount = 800; // fewer than held: the count passed is the trace's
    const EventList sent = t.eventList;
    EventAnalysisBinding b;
    b.insertEvent = &fakeInsert;
    ASSERT_TRUE(insertEventAt(t, 499, b));
    EXPECT_EQ(seen.first, 499);
    EXPECT_EQ(seen.samples, t.samples.data());
    EXPECT_EQ(seen.wavelengthOrFlag, 1550);
    EXPECT_EQ(seen.pulse, 30);
    EXPECT_EQ(seen.sampleCount, 800u);
    EXPECT_TRUE(sameList(seen.list, sent));
    EXPECT_EQ(seen.n, 1.5f);
    EXPECT_EQ(seen.f, 100.0f);
    EXPECT_EQ(seen.last, -81.0f);

    EXPECT_TRUE(sameList(t.eventList, answer));
    ASSERT_EQ(t.events.size(), 2u);
    const float spacing = 299792448.0f / 1.5f / 100.0f / 1000000.0f * 0.5f;
    EXPECT_FLOAT_EQ(t.events[1].distance, 500 * spacing);
    EXPECT_EQ(t.events[1].loss, 0.7f);
    EXPECT_EQ(t.events[1].totalLoss, 1.1f);
    EXPECT_EQ(t.events[1].codeLetter, 'A');
    EXPECT_EQ(t.events[1].typeDigit, 1);
    EXPECT_EQ(t.events[1].auxValue1, 2.5f);

    // A file stores the coefficient's magnitude (80 for -80 dB): the library gets it signed.
    TraceData stored = smallTrace();
    stored.backscatter = 80.0f;
    ASSERT_TRUE(insertEventAt(stored, 499, b));
    EXPECT_EQ(seen.last, -80.0f);
}

TEST_F(EventEditing, InsertNeverClaimsMoreSamplesThanHeld)
{
    TraceData t = smallTrace();
    t.sampleCount = 5000;
    EventAnalysisBinding b;
    b.insertEvent = &fakeInsert;
    ASSERT_TRUE(insertEventAt(t, 10, b));
    EXPECT_EQ(seen.sampleCount, 1000u);
}

TEST_F(EventEditing, DeletePassesRowAnd1550Flag)
{
    struct Case {
        int32_t wavelength;
        int32_t flag;
    } cases[] = {{1550, 1}, {1310, 0}, {1625, 0}};
    for (const Case &c : cases) {
        TraceData t = smallTrace();
        t.wavelengthNm = c.wavelength;
        EventAnalysisBinding b;
        b.deleteEvent = &fakeDelete;
        ASSERT_TRUE(deleteEventRow(t, 1, b));
        EXPECT_EQ(seen.first, 1);
        EXPECT_EQ(seen.wavelengthOrFlag, c.flag) << c.wavelength;
        EXPECT_EQ(seen.last, 0.0f);
        EXPECT_EQ(t.events.size(), 2u);
    }
}

TEST_F(EventEditing, DeleteRowAboveTheCountDoesNothing)
{
    TraceData t = smallTrace();
    const EventList before = t.eventList;
    EventAnalysisBinding b;
    b.deleteEvent = &fakeDelete;
    EXPECT_FALSE(deleteEventRow(t, 4, b));
    EXPECT_FALSE(deleteEventRow(t, -1, b));
    EXPECT_EQ(seen.calls, 0);
    EXPECT_TRUE(sameList(t.eventList, before));
    // A row equal to the count still reaches the library, which answers for it.
    EXPECT_TRUE(deleteEventRow(t, 3, b));
    EXPECT_EQ(seen.calls, 1);
}

TEST_F(EventEditing, DeleteRefusesAListPointingBeyondTheSamples)
{
    TraceData t = smallTrace();
    t.eventList.index[2] = 1000; // one past the last sample
    EventAnalysisBinding b;
    b.deleteEvent = &fakeDelete;
    EXPECT_FALSE(deleteEventRow(t, 0, b));
    EXPECT_EQ(seen.calls, 0);
    t.eventList.index[2] = 999;
    EXPECT_TRUE(deleteEventRow(t, 0, b));
}

TEST_F(EventEditing, InsertWithoutEventsDoesNothing)
{
    TraceData t = smallTrace();
    t.events.clear();
    EventAnalysisBinding b;
    b.insertEvent = &fakeInsert;
    EXPECT_FALSE(insertEventAt(t, 100, b));
    EXPECT_EQ(seen.calls, 0);
}

// A library that throws, or answers with a list no trace can hold, leaves the trace as it was.
TEST_F(EventEditing, FaultsAbandonTheCommandWithTheTraceUnchanged)
{
    EventList badCount = twoEvents();
    badCount.count = 101;
    EventList negativeCount = twoEvents();
    negativeCount.count = -3;
    struct Case {
        const char *name;
        QM7ZZZ_insertEvent_fn insert;
        QM7ZZZ_deleteEvent_fn remove;
        EventList reply;
    } cases[] = {
        {"throws", &throwingInsert, &throwingDelete, twoEvents()},
        {"count above 100", &fakeInsert, &fakeDelete, badCount},
        {"negative count", &fakeInsert, &fakeDelete, negativeCount},
    };
    for (const Case &c : cases) {
        answer = c.reply;
        EventAnalysisBinding b;
        b.insertEvent = c.insert;
        b.deleteEvent = c.remove;
        TraceData t = smallTrace();
        const EventList list = t.eventList;
        const std::vector<TraceEvent> events = t.events;
        EXPECT_FALSE(insertEventAt(t, 200, b)) << c.name;
        EXPECT_FALSE(deleteEventRow(t, 0, b)) << c.name;
        EXPECT_TRUE(sameList(t.eventList, list)) << c.name;
        ASSERT_EQ(t.events.size(), events.size()) << c.name;
        for (size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(t.events[i].index, events[i].index) << c.name;
            EXPECT_EQ(t.events[i].loss, events[i].loss) << c.name;
        }
    }
}

TEST_F(EventEditing, UnboundLibraryLeavesTheTraceWithoutEvents)
{
    const EventAnalysisBinding unbound;
    TraceData t = smallTrace();
    EXPECT_TRUE(insertEventAt(t, 200, unbound));
    EXPECT_TRUE(t.events.empty());
    EXPECT_TRUE(sameList(t.eventList, fallbackEventList));

    TraceData u = smallTrace();
    EXPECT_TRUE(deleteEventRow(u, 0, unbound));
    EXPECT_TRUE(u.events.empty());
    EXPECT_EQ(u.eventList.auxValue2, 10.0f);
}

// The whole road with the project's own library: delete a splice of a generated link and add it
// back at the cursor; the measured loss matches what the generator put there.
TEST_F(EventEditing, RealLibraryDeletesAndAddsBack)
{
    gen::Options o;
    o.pointCount = 32000;
    o.events = {{gen::EventKind::Splice, 5000.0, 0.2, 0.0},
                {gen::EventKind::Splice, 12000.0, 0.4, 0.0},
                {gen::EventKind::End, 20000.0, 0.0, -40.0}};
    const gen::Trace g = gen::generate(o);
    TraceData t;
    loadTrace(g.record, t, &QM7ZZZ_Acount_Total_Loss);
    eventsToEventList(t);
    ASSERT_EQ(t.events.size(), 3u);
    const int32_t spliceIndex = t.events[1].index;

    EventAnalysisBinding b;
    b.insertEvent = &QM7ZZZ_insertEvent;
    b.deleteEvent = &QM7ZZZ_deleteEvent;
    ASSERT_TRUE(deleteEventRow(t, 0, b)); // row 0 shows the second event
    ASSERT_EQ(t.events.size(), 2u);
    EXPECT_EQ(t.events[1].codeLetter, 'E');

    ASSERT_TRUE(insertEventAt(t, spliceIndex, b));
    ASSERT_EQ(t.events.size(), 3u);
    EXPECT_EQ(t.events[1].index, spliceIndex);
    EXPECT_EQ(t.events[1].codeLetter, 'A');
    EXPECT_NEAR(t.events[1].loss, 0.4, 0.05);
    EXPECT_NEAR(t.events[1].distance, 12000.0, t.sampleSpacing * 2);
    EXPECT_NEAR(t.events[2].totalLoss, 0.19 * 20.0 + 0.2 + 0.4, 0.1);
}

// A generated link whose events sit at distances read from their file times, not at sample
// distances: the library keeps them through an edit, and so must the trace.
TraceData linkWithSplices(QM7ZZZ_Acount_Total_Loss_fn totalLoss)
{
    gen::Options o;
    o.pointCount = 32000;
    o.events = {{gen::EventKind::Splice, 5000.0, 0.2, 0.0},
                {gen::EventKind::Splice, 12000.0, 0.4, 0.0},
                {gen::EventKind::Splice, 16000.0, 0.3, 0.0},
                {gen::EventKind::End, 20000.0, 0.0, -40.0}};
    const gen::Trace g = gen::generate(o);
    TraceData t;
    loadTrace(g.record, t, totalLoss);
    eventsToEventList(t);
    return t;
}

std::vector<float> distancesOf(const TraceData &t)
{
    std::vector<float> d;
    for (const TraceEvent &e : t.events)
        d.push_back(e.distance);
    return d;
}

TEST_F(EventEditing, UntouchedEventsKeepTheirDistanceThroughAddDeleteAndSave)
{
    EventAnalysisBinding b;
    b.insertEvent = &QM7ZZZ_insertEvent;
    b.deleteEvent = &QM7ZZZ_deleteEvent;
    TraceData t = linkWithSplices(&QM7ZZZ_Acount_Total_Loss);
    ASSERT_EQ(t.events.size(), 4u);
    const std::vector<float> loaded = distancesOf(t);
    int offSample = 0;
    for (size_t i = 0; i < loaded.size(); ++i)
        offSample += loaded[i] != t.sampleSpacing * static_cast<float>(t.events[i].index + 1);
    ASSERT_GE(offSample, 2) << "events must lie off their sample distances, or the case shows nothing";

    // Add between the first two splices: every other event stays where it was, to the byte.
    const int32_t added = (t.events[0].index + t.events[1].index) / 2;
    ASSERT_TRUE(insertEventAt(t, added, b));
    ASSERT_EQ(t.events.size(), 5u);
    EXPECT_EQ(t.events[0].distance, loaded[0]);
    EXPECT_EQ(t.events[1].distance, t.sampleSpacing * static_cast<float>(added + 1)) << "a new event: its sample";
    EXPECT_EQ(t.events[2].distance, loaded[1]);
    EXPECT_EQ(t.events[3].distance, loaded[2]);
    EXPECT_EQ(t.events[4].distance, loaded[3]);

    // Delete the third splice (row 2 shows event 3).
    ASSERT_TRUE(deleteEventRow(t, 2, b));
    ASSERT_EQ(t.events.size(), 4u);
    EXPECT_EQ(t.events[0].distance, loaded[0]);
    EXPECT_EQ(t.events[2].distance, loaded[1]);
    EXPECT_EQ(t.events[3].distance, loaded[3]);
    const std::vector<float> edited = distancesOf(t);

    // Save and load again: the file's times give back the same distances. The added event is
    // stored to the file's resolution of 100 ps, about 2 cm of fibre.
    SorRecord saved;
    traceToRecord(t, saved);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("edited.sor"));
    CSorFileBase sor;
    ASSERT_EQ(sor.SaveFile(path, saved), 1);
    SorRecord read;
    ASSERT_EQ(sor.ReadFile(path, read), 1);
    TraceData reloaded;
    loadTrace(read, reloaded, &QM7ZZZ_Acount_Total_Loss);
    EXPECT_EQ(reloaded.sampleSpacing, t.sampleSpacing);
    const std::vector<float> again = distancesOf(reloaded);
    ASSERT_EQ(again.size(), edited.size());
    EXPECT_EQ(again[0], edited[0]);
    EXPECT_NEAR(again[1], edited[1], 0.011);
    EXPECT_EQ(again[2], edited[2]);
    EXPECT_EQ(again[3], edited[3]);
}

// The library's list holds 100 events. A longer trace keeps and shows them all, and an edit is
// refused without touching it; a file of 120 events loaded where one of 3 was keeps no trace of
// the first file's list.
TEST_F(EventEditing, MoreThan100EventsAreKeptAndNotEdited)
{
    EventAnalysisBinding b;
    b.insertEvent = &QM7ZZZ_insertEvent;
    b.deleteEvent = &QM7ZZZ_deleteEvent;
    TraceData slot = linkWithSplices(&QM7ZZZ_Acount_Total_Loss);
    ASSERT_EQ(slot.eventList.count, 4);

    gen::Options o;
    o.pointCount = 64000;
    for (int i = 1; i <= 119; ++i)
        o.events.push_back({gen::EventKind::Splice, 200.0 * i, 0.05, 0.0});
    o.events.push_back({gen::EventKind::End, 24200.0, 0.0, -40.0});
    const gen::Trace g = gen::generate(o);
    loadTrace(g.record, slot, &QM7ZZZ_Acount_Total_Loss);
    eventsToEventList(slot);
    ASSERT_EQ(slot.events.size(), 120u);
    EXPECT_EQ(slot.eventList.count, 0) << "the previous file's list is gone";

    // Every event has its cumulative loss, growing along the fibre, the last near the sum.
    for (size_t i = 1; i < slot.events.size(); ++i)
        EXPECT_GT(slot.events[i].totalLoss, slot.events[i - 1].totalLoss) << "event " << i;
    EXPECT_NEAR(slot.events.back().totalLoss, 0.19 * 24.2 + 119 * 0.05, 0.5);

    const std::vector<TraceEvent> before = slot.events;
    EXPECT_FALSE(editableByLibrary(slot));
    EXPECT_FALSE(insertEventAt(slot, 300, b));
    EXPECT_FALSE(deleteEventRow(slot, 0, b));
    ASSERT_EQ(slot.events.size(), 120u);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(std::memcmp(&slot.events[i], &before[i], sizeof(TraceEvent)), 0) << "event " << i;

}

// The cumulative-loss rule on a link as instruments store it: the launch level as the start
// event's loss and the drop into the noise as the end's. Without a stored end-to-end loss the end
// shows the rule's sum, with one the stored figure, and both hold through a delete and an add.
TEST_F(EventEditing, CumulativeLossRuleHoldsThroughEdits)
{
    gen::Options o;
    o.pointCount = 32000;
    o.events = {{gen::EventKind::Splice, 5000.0, 0.2, 0.0},
                {gen::EventKind::Splice, 12000.0, 0.4, 0.0},
                {gen::EventKind::End, 20000.0, 0.0, -40.0}};
    gen::Trace g = gen::generate(o);
    SorEvent start;
    start.time = 0;
    start.loss = -13946; // the launch level, 0.001 dB
    start.code = "1F9999";
    g.record.events.insert(g.record.events.begin(), start);
    g.record.events.back().loss = 24997; // the drop into the noise
    EventAnalysisBinding b;
    b.insertEvent = &QM7ZZZ_insertEvent;
    b.deleteEvent = &QM7ZZZ_deleteEvent;
    const double link = 0.19 * 20.0 + 0.2 + 0.4;

    for (const float stored : {0.0f, 4.321f}) {
        SorRecord record = g.record;
        record.endToEndLossDb = stored;
        TraceData t;
        loadTrace(record, t, &QM7ZZZ_Acount_Total_Loss);
        eventsToEventList(t);
        ASSERT_EQ(t.events.size(), 4u);
        const double end = stored > 0.0f ? stored : link;
        const auto checkTotals = [&](const char *when) {
            // A deleted splice's loss stays in the fibre: the merged section's fit carries it.
            EXPECT_NEAR(t.events.back().totalLoss, end, stored > 0.0f ? 1e-6 : 0.25) << when << ' ' << stored;
            for (const TraceEvent &e : t.events) {
                EXPECT_LE(e.totalLoss, t.events.back().totalLoss + 0.5) << when;
                EXPECT_GE(e.totalLoss, -0.5) << when << ": the launch level is no loss";
            }
        };
        checkTotals("loaded");
        const int32_t spliceIndex = t.events[2].index;
        ASSERT_TRUE(deleteEventRow(t, 1, b)); // row 1 shows the third event, the 12 km splice
        ASSERT_EQ(t.events.size(), 3u);
        checkTotals("deleted");
        ASSERT_TRUE(insertEventAt(t, spliceIndex, b));
        ASSERT_EQ(t.events.size(), 4u);
        checkTotals("added back");
        EXPECT_EQ(t.eventList.totalLoss[3], t.events[3].totalLoss) << "the list the library gets next agrees";

        // Without its fibre end the stored figure describes nothing shown: the rule decides.
        ASSERT_TRUE(deleteEventRow(t, 2, b));
        ASSERT_EQ(t.events.size(), 3u);
        EXPECT_NEAR(t.events.back().totalLoss, 0.19 * 12.0 + 0.2, 0.1) << stored;
    }
}

// A binding is a value: each call binds from its own folder, and nothing of one call reaches
// the next.
TEST(EventAnalysisBinding, BindsTheBuiltLibraryAndAnEmptyFolderLeavesAllUnbound)
{
    const QString folder = testsupport::binFolder();
    const EventAnalysisBinding b = bindEventAnalysis(folder);
    ASSERT_TRUE(b.deleteEvent && b.insertEvent && b.eventAnalysis && b.algorithmVersion && b.totalLoss);
    EXPECT_EQ(reinterpret_cast<QM7ZZZ_algorithm_Version_fn>(b.algorithmVersion)(), 10000);

    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    const EventAnalysisBinding none = bindEventAnalysis(empty.path());
    EXPECT_TRUE(!none.deleteEvent && !none.insertEvent && !none.eventAnalysis && !none.algorithmVersion
                && !none.totalLoss)
        << "the earlier binding does not carry over";
    EXPECT_EQ(bindEventAnalysis(folder).insertEvent, b.insertEvent) << "the library stayed loaded";
}

} // namespace
