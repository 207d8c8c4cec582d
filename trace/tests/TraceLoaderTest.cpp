#include "trace/CSorFileBase.h"
#include "trace/InfoTexts.h"
#include "trace/TraceLoader.h"
#include "trace/tests/SorTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sortest;

namespace {

// A record with n = 1.5 and spacing 500000: about 0.99931 m per sample, `points` samples.
SorRecord baseRecord(size_t points = 100)
{
    SorRecord r;
    SorTrace t;
    t.points.assign(points, 50000);
    t.pointCount = static_cast<int32_t>(points);
    r.traces.push_back(t);
    r.refractiveIndex = 1.5f;
    r.sampleSpacing = static_cast<float>(static_cast<double>(static_cast<float>(5e-9)) * 299792458.0 / 1.5);
    r.samplingFrequencyMHz = 100.0f;
    r.pulseWidthNs = 100;
    r.wavelengthNm = 1550;
    r.fibreLength = static_cast<float>(points) * r.sampleSpacing;
    return r;
}

SorEvent eventAt(int32_t time, const char *code = "1F9999", const char *comment = "")
{
    SorEvent e;
    e.time = time;
    e.code = code;
    e.technique = "LS";
    e.comment = comment;
    return e;
}

// Time in 100 ps of a distance, for n = 1.5.
int32_t timeOf(double metres)
{
    return static_cast<int32_t>(std::llround(metres * 1.5 * 1e10 / 299792458.0));
}

int g_totalLossCalls = 0;
void fakeTotalLoss(int32_t, int32_t, const uint16_t *, EventList *list, float, float)
{
    ++g_totalLossCalls;
    for (int i = 0; i < list->count; ++i)
        list->totalLoss[i] = 0.5f * static_cast<float>(i + 1);
}

} // namespace

TEST(TraceLoader, EventsSnapToSamples)
{
    SorRecord r = baseRecord(100);
    const float s = r.sampleSpacing;
    struct Case { const char *name; double metres; int32_t index; float distance; };
    const double c = 299792458.0 / (1.5 * 1e10);
    const Case cases[] = {
        // x = 3.95: integer parts of x and x + 0.1 differ, so the event moves to index 4.
        {"4.95 spacings", 4.95 * s, 4, 5.0f * s},
        // x = -1, x + 0.1 = -0.9: integer parts -1 and 0 differ.
        {"time 0", 0.0, 0, s},
        {"beyond the last sample", 500.0 * s, 99, static_cast<float>(timeOf(500.0 * s) * c)},
        {"well inside a sample", 10.5 * s, 9, static_cast<float>(timeOf(10.5 * s) * c)},
    };
    for (const Case &k : cases)
        r.events.push_back(eventAt(timeOf(k.metres)));
    TraceData t;
    loadTrace(r, t, nullptr);
    ASSERT_EQ(t.events.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(t.events[i].index, cases[i].index) << cases[i].name;
        EXPECT_FLOAT_EQ(t.events[i].distance, cases[i].distance) << cases[i].name;
    }
    EXPECT_EQ(t.events[0].distance, 5.0f * s) << "snapped distance is exactly (index + 1) x spacing";
}

TEST(TraceLoader, EventValuesAndCodes)
{
    SorRecord r = baseRecord();
    SorEvent a = eventAt(100, "2E9999");
    a.attenuation = -190;
    a.loss = -32768;
    a.reflectance = -45123;
    r.events = {eventAt(0, "x"), a, eventAt(50, "12")};
    TraceData t;
    loadTrace(r, t, nullptr);
    ASSERT_EQ(t.events.size(), 3u);
    EXPECT_EQ(t.events[0].typeDigit, 0) << "a short first code starts from 0";
    EXPECT_EQ(t.events[0].codeLetter, 0);
    EXPECT_EQ(t.events[1].typeDigit, 2);
    EXPECT_EQ(t.events[1].codeLetter, 'E');
    EXPECT_EQ(t.events[1].attenuation, static_cast<float>(-190 / 1000.0));
    EXPECT_EQ(t.events[1].loss, -32.768f);
    EXPECT_EQ(t.events[1].reflectance, static_cast<float>(-45123 / 1000.0));
    EXPECT_EQ(t.events[2].typeDigit, 2) << "a short code inherits from the event before";
    EXPECT_EQ(t.events[2].codeLetter, 'E');
    EXPECT_EQ(t.events[2].auxValue2, 0.0f);
}

TEST(TraceLoader, CumulativeLossFromCommentsOrLibrary)
{
    struct Case {
        const char *name;
        std::vector<const char *> comments;
        bool bound;
        std::vector<float> expected;
        int calls;
    };
    const Case cases[] = {
        {"all comments numbers", {"1.25", " -0.5", "3e1"}, true, {1.25f, -0.5f, 30.0f}, 0},
        {"one commented event", {"", "2.5", ""}, true, {0.0f, 2.5f, 2.5f}, 0},
        // Only comments that hold a number store cumulative losses; words and blanks do not.
        {"comment without a number", {"abc", "", ""}, true, {0.5f, 1.0f, 1.5f}, 1},
        {"blank comments", {" ", " ", " "}, true, {0.5f, 1.0f, 1.5f}, 1},
        {"blank comments, no library", {" ", " ", " "}, false, {0.0f, 0.0f, 0.0f}, 0},
        {"words that start like inf and nan", {"Info", "nano", "-inf"}, true, {0.5f, 1.0f, 1.5f}, 1},
        {"a word, then a number", {"Connecteur", "1.5", " "}, true, {0.0f, 1.5f, 1.5f}, 0},
        {"a leading point", {" .25", "", ""}, true, {0.25f, 0.25f, 0.25f}, 0},
        {"no comments, library", {"", "", ""}, true, {0.5f, 1.0f, 1.5f}, 1},
        {"no comments, no library", {"", "", ""}, false, {0.0f, 0.0f, 0.0f}, 0},
        // Only the first 19 bytes of a comment are read.
        {"long comment", {"000000000000000001234567", "", ""}, true, {12.0f, 12.0f, 12.0f}, 0},
        // Beyond the single-precision range: too small reads as zero, too large as infinity.
        {"numbers out of range", {"1e-50", "-1e-46", "1e50"}, true, {0.0f, -0.0f, INFINITY}, 0},
    };
    for (const Case &c : cases) {
        SorRecord r = baseRecord();
        for (size_t i = 0; i < c.comments.size(); ++i)
            r.events.push_back(eventAt(static_cast<int32_t>(100 * i), "1F9999", c.comments[i]));
        TraceData t;
        t.events.resize(7);
        g_totalLossCalls = 0;
        loadTrace(r, t, c.bound ? fakeTotalLoss : nullptr);
        ASSERT_EQ(t.events.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(t.events[i].totalLoss, c.expected[i]) << c.name << " event " << i;
        EXPECT_EQ(g_totalLossCalls, c.calls) << c.name;
    }
}

// A total-loss entry that adds each event's loss and 0.01 dB for every sample of the section
// before it, as the library sums attenuation times length.
void summingTotalLoss(int32_t, int32_t, const uint16_t *, EventList *list, float, float)
{
    ++g_totalLossCalls;
    double total = 0.0;
    for (int i = 0; i < list->count; ++i) {
        const int32_t from = i == 0 ? -1 : list->index[i - 1];
        total += 0.01 * (list->index[i] - from) + list->loss[i];
        list->totalLoss[i] = static_cast<float>(total);
    }
}

TEST(TraceLoader, EveryEventBeyond100GetsItsCumulativeLoss)
{
    for (const int count : {99, 100, 101, 150, 250}) {
        SorRecord r = baseRecord(1000);
        for (int i = 0; i < count; ++i) {
            SorEvent e = eventAt(timeOf(3.0 * (i + 1)));
            e.loss = 100; // 0.1 dB
            r.events.push_back(e);
        }
        TraceData t;
        g_totalLossCalls = 0;
        loadTrace(r, t, summingTotalLoss);
        ASSERT_EQ(t.events.size(), static_cast<size_t>(count));
        double expected = 0.0;
        int32_t from = -1;
        for (int i = 0; i < count; ++i) {
            expected += 0.01 * (t.events[static_cast<size_t>(i)].index - from) + 0.1;
            from = t.events[static_cast<size_t>(i)].index;
            EXPECT_NEAR(t.events[static_cast<size_t>(i)].totalLoss, expected, 1e-3) << count << " events, event " << i;
        }
        EXPECT_EQ(g_totalLossCalls, count <= 100 ? 1 : (count - 2) / 98 + 1) << count;
    }
}

TEST(TraceLoader, SamplesAndScaleFactors)
{
    struct Case { int16_t scale; std::vector<uint16_t> raw; std::vector<uint16_t> loaded; };
    const Case cases[] = {
        {1000, {0, 1, 65535}, {0, 1, 65535}},
        // raw x 1470 / 1000, rounded half up, held at 65535.
        {1470, {1000, 1, 3, 44581, 44582, 65535}, {1470, 1, 4, 65534, 65535, 65535}},
        {500, {3, 65535}, {2, 32768}},
        {0, {100}, {100}},
        {-1000, {100}, {100}},
    };
    for (const Case &c : cases) {
        SorRecord r = baseRecord();
        r.traces[0].scaleFactor = c.scale;
        r.traces[0].points = c.raw;
        r.traces[0].pointCount = static_cast<int32_t>(c.raw.size());
        TraceData t;
        loadTrace(r, t, nullptr);
        EXPECT_EQ(t.samples, c.loaded) << "scale " << c.scale;
        EXPECT_EQ(t.sampleCount, c.raw.size());
    }

    // A point count beyond the points held is cut to them; a record without traces keeps the
    // samples the trace had.
    SorRecord lying = baseRecord(5);
    lying.traces[0].pointCount = 1000000;
    TraceData t;
    loadTrace(lying, t, nullptr);
    EXPECT_EQ(t.sampleCount, 5u);
    EXPECT_EQ(t.samples.size(), 5u);
    SorRecord none = baseRecord();
    none.traces.clear();
    loadTrace(none, t, nullptr);
    EXPECT_EQ(t.sampleCount, 5u);
}

TEST(TraceLoader, ValuesCopiedFromTheRecord)
{
    SorRecord r = baseRecord();
    r.rangeMetres = 250; // within 3 times the 100 m acquired
    r.timestamp = 0x1'0000'0002LL;
    r.lossThreshold = 0.05f;
    r.reflectanceThreshold = 40.0f;
    r.endThreshold = 3.0f;
    r.backscatter = -80.0f;
    r.averages = 4096;
    TraceData t;
    loadTrace(r, t, nullptr);
    EXPECT_EQ(t.rangeMetres, 250);
    EXPECT_EQ(t.timestamp, 2) << "low 32 bits";
    EXPECT_EQ(t.lossThreshold, 0.05f);
    EXPECT_EQ(t.reflectanceThreshold, 40.0f);
    EXPECT_EQ(t.endThreshold, 3.0f);
    EXPECT_EQ(t.backscatter, -80.0f);
    EXPECT_EQ(t.averages, 4096.0f);
    EXPECT_EQ(t.refractiveIndex, 1.5f);
    EXPECT_EQ(t.samplingFrequencyMHz, 100.0f);
    EXPECT_EQ(t.pulseWidthNs, 100);
    EXPECT_EQ(t.wavelengthNm, 1550);
    EXPECT_EQ(t.fibreLength, r.fibreLength);
}

TEST(TraceLoader, ZeroGroupIndexDoesNotFault)
{
    SorRecord r = baseRecord(10);
    r.refractiveIndex = 0.0f;
    r.sampleSpacing = std::numeric_limits<float>::infinity();
    r.events = {eventAt(0), eventAt(1000), eventAt(-5)};
    TraceData t;
    loadTrace(r, t, fakeTotalLoss);
    for (const TraceEvent &e : t.events) {
        EXPECT_GE(e.index, 0);
        EXPECT_LT(e.index, 10);
    }
    SorRecord empty = baseRecord(0);
    empty.events = {eventAt(500)};
    TraceData t2;
    g_totalLossCalls = 0;
    loadTrace(empty, t2, fakeTotalLoss);
    EXPECT_EQ(t2.events[0].index, 0);
    EXPECT_EQ(g_totalLossCalls, 0) << "no samples for the library to read";
}

TEST(InfoTexts, ApplyToTrace)
{
    TraceData t;
    t.refractiveIndex = 1.5f;
    t.comment = "old";
    t.operatorName = "kept";
    infotexts::applyToTrace({"UO=0", "UOD=250", "AveragingTime=0", "Comment=a=b", "Operator=", "noequals",
                             "FiberType=-3x", "CursorA=50035", "CursorB=-7", "Direction=AB", "GPS=1,2",
                             "Model=M", "SN=S", "LocA=A", "LocB=B", "supplier=P", "CableID=C", "FiberID=F",
                             "unknown=1"},
                            t);
    EXPECT_EQ(t.userOffset, 0.0f);
    EXPECT_EQ(t.userOffsetDistance, 2.5f);
    EXPECT_EQ(t.averagingTime, 30) << "0 becomes 30";
    EXPECT_EQ(t.comment, "a") << "a value is cut at its first '='";
    EXPECT_EQ(t.operatorName, "kept") << "an empty value is skipped";
    EXPECT_EQ(t.fiberType, -3);
    EXPECT_NEAR(t.cursorA, 1000.008f, 0.001f);
    EXPECT_EQ(t.cursorA, static_cast<float>(50035 * 299792458.0 / (1.5 * 1e10)));
    EXPECT_LT(t.cursorB, 0.0f);
    EXPECT_EQ(t.direction, "AB");
    EXPECT_EQ(t.gps, "1,2");
    EXPECT_EQ(t.model, "M");
    EXPECT_EQ(t.serialNumber, "S");
    EXPECT_EQ(t.locationA, "A");
    EXPECT_EQ(t.locationB, "B");
    EXPECT_EQ(t.supplier, "P");
    EXPECT_EQ(t.cableId, "C");
    EXPECT_EQ(t.fiberId, "F");
}

TEST(InfoTexts, IntegerValues)
{
    struct Case { const char *text; int32_t value; };
    const Case cases[] = {{"42", 42},       {"-42", -42},   {"+7", 7},           {"12ab", 12},
                          {"ab", 0},        {"", 0},        {"- 5", 0},          {"99999999999", INT32_MAX},
                          {"-2147483648", INT32_MIN},       {"-99999999999", INT32_MIN}};
    for (const Case &c : cases)
        EXPECT_EQ(infotexts::toInt(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(InfoTexts, TextsForSave)
{
    TraceData t;
    t.refractiveIndex = 1.5f;
    t.cursorA = 1000.0f;
    t.cursorB = -0.01f;
    t.averagingTime = 45;
    t.cableId = "C";
    t.operatorName = "O";
    t.fiberType = 652;
    EXPECT_EQ(infotexts::forSave(t),
              (QStringList{"AveragingTime=45", "CableID=C", "FiberID=", "Operator=O", "FiberType=652",
                           "CursorA=50035", "CursorB=0"}))
        << "no UO text for a zero offset; -0.01 m gives -0.5003 + 0.5, truncated toward zero";
    t.userOffset = 2.0f;
    EXPECT_EQ(infotexts::forSave(t).first(), "UO=100");
}

TEST(InfoTexts, RecordUserOffsetTakesTheLastUoText)
{
    SorRecord r;
    r.refractiveIndex = 1.5f;
    r.infoTexts = {"UO=100", "UO=", "Operator=x"};
    EXPECT_EQ(recordUserOffset(r), static_cast<float>(100 * 299792458.0 / (1e10 * 1.5)));
    r.infoTexts << "UO=-200";
    EXPECT_LT(recordUserOffset(r), 0.0f);
    r.infoTexts = {"Operator=x"};
    EXPECT_EQ(recordUserOffset(r), 0.0f);
}

TEST(TraceSave, TraceToRecord)
{
    TraceData t;
    t.samples = {1, 2, 3};
    t.sampleCount = 3;
    t.refractiveIndex = 1.4682f;
    t.fibreLength = 1234.9f;
    t.timestamp = -1;
    TraceEvent e;
    e.distance = 1000.0f;
    e.typeDigit = 1;
    e.codeLetter = 'E';
    e.loss = -0.2f;
    e.attenuation = 0.19f;
    e.reflectance = -45.5f;
    t.events = {e};
    SorRecord r;
    r.averages = 77;
    traceToRecord(t, r);
    ASSERT_EQ(r.traces.size(), 1u);
    EXPECT_EQ(r.traces[0].scaleFactor, 1000);
    EXPECT_EQ(r.traces[0].pointCount, 3);
    EXPECT_EQ(r.traces[0].points, t.samples);
    EXPECT_EQ(r.rangeMetres, 1234);
    EXPECT_EQ(r.timestamp, -1);
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0].time, std::lround(static_cast<double>(1.4682f) * 1e10 * 1000.0 / 299792458.0))
        << "the nearest time, so that a distance read from a time saves as that time";
    EXPECT_EQ(r.events[0].loss, -199) << "(-0.2 + 0.0001) x 1000 truncated toward zero";
    EXPECT_EQ(r.events[0].attenuation, 190);
    EXPECT_EQ(r.events[0].reflectance, -45499);
    EXPECT_EQ(r.events[0].code, "1E9999");
    EXPECT_EQ(r.events[0].technique, "LS");
    EXPECT_TRUE(r.events[0].comment.isEmpty());
}

TEST(TraceLoader, MaximumLevelAndViewLevels)
{
    SorRecord r;
    EXPECT_EQ(maximumLevel(r), 0);
    SorTrace a;
    a.points = {65535, 40000};
    SorTrace b;
    b.points = {30000};
    b.scaleFactor = 1470; // 44100 on the 1000 scale
    r.traces = {a, b};
    EXPECT_EQ(maximumLevel(r), 25) << "(65535 - 40000) / 1000";
    r.traces[0].points = {65535};
    EXPECT_EQ(maximumLevel(r), 21) << "(65535 - 44100) / 1000";

    r.traces = {a, b};
    const std::vector<float> levels = viewLevels(r, 4);
    ASSERT_EQ(levels.size(), 4u);
    EXPECT_EQ(levels[0], 0.0f);
    EXPECT_EQ(levels[1], static_cast<float>(25.535));
    EXPECT_EQ(levels[2], static_cast<float>(21.435)) << "points of the second trace follow";
    EXPECT_EQ(levels[3], 0.0f) << "missing points read 0 dB";
}

// Read, load, save, read, load: every value the save carries comes back.
TEST(SorRoundTrip, ReadLoadSaveReadKeepsWhatTheSaveCarries)
{
    SorBlocks blocks = sampleBlocks();
    blocks.fxdParams.groupIndex = 146820;
    blocks.fxdParams.pulses = {{100, 500000, 8}};
    blocks.dataPts.traces.resize(1);
    blocks.keyEvents.events[0].time = 0;
    blocks.keyEvents.events[1].time = timeOf(5.0);
    blocks.keyEvents.events[1].comment.clear();
    const QByteArray file = writeSorBytes(blocks);

    CSorFileBase sor;
    SorRecord first;
    ASSERT_EQ(sor.ReadFromMemory(bytesOf(file), static_cast<size_t>(file.size()), first), SorResult::Done);
    TraceData a;
    loadTrace(first, a, nullptr);
    SorRecord saved;
    traceToRecord(a, saved);
    const QByteArray resaved = sor.SaveToBytes(saved);

    SorRecord second;
    ASSERT_EQ(sor.ReadFromMemory(bytesOf(resaved), static_cast<size_t>(resaved.size()), second), SorResult::Done);
    TraceData b;
    loadTrace(second, b, nullptr);

    EXPECT_EQ(second.refractiveIndex, 1.4682f);
    EXPECT_EQ(second.groupIndexRaw, 146820);
    EXPECT_EQ(second.endToEndLossDb, first.endToEndLossDb) << "the instrument's end-to-end loss is kept";
    EXPECT_EQ(second.orlDb, first.orlDb) << "and its ORL";
    EXPECT_EQ(b.orlDb, 0.033f);
    EXPECT_EQ(b.samples, a.samples);
    EXPECT_EQ(b.sampleSpacing, a.sampleSpacing);
    EXPECT_EQ(b.samplingFrequencyMHz, a.samplingFrequencyMHz);
    EXPECT_EQ(b.pulseWidthNs, a.pulseWidthNs);
    EXPECT_EQ(b.wavelengthNm, a.wavelengthNm);
    EXPECT_EQ(b.timestamp, a.timestamp);
    EXPECT_EQ(b.lossThreshold, a.lossThreshold);
    EXPECT_EQ(b.reflectanceThreshold, a.reflectanceThreshold);
    EXPECT_EQ(b.endThreshold, a.endThreshold);
    EXPECT_EQ(b.backscatter, a.backscatter);
    EXPECT_EQ(b.fibreLength, a.fibreLength);
    EXPECT_EQ(b.cableId, a.cableId);
    EXPECT_EQ(b.fiberId, a.fiberId);
    EXPECT_EQ(b.operatorName, a.operatorName);
    EXPECT_EQ(b.fiberType, a.fiberType);
    EXPECT_EQ(b.averagingTime, a.averagingTime);
    // Times go back through a truncation: at most one unit of 100 ps (about 0.02 m) is lost.
    EXPECT_NEAR(b.cursorA, a.cursorA, 0.021f);
    EXPECT_NEAR(b.cursorB, a.cursorB, 0.021f);
    EXPECT_NEAR(b.userOffset, a.userOffset, 0.021f);
    ASSERT_EQ(b.events.size(), a.events.size());
    for (size_t i = 0; i < a.events.size(); ++i) {
        EXPECT_EQ(b.events[i].index, a.events[i].index) << i;
        EXPECT_NEAR(b.events[i].distance, a.events[i].distance, 0.021f) << i;
        EXPECT_EQ(b.events[i].typeDigit, a.events[i].typeDigit) << i;
        EXPECT_EQ(b.events[i].codeLetter, a.events[i].codeLetter) << i;
        EXPECT_NEAR(b.events[i].loss, a.events[i].loss, 0.0011f) << i;
        EXPECT_NEAR(b.events[i].reflectance, a.events[i].reflectance, 0.0011f) << i;
        EXPECT_NEAR(b.events[i].attenuation, a.events[i].attenuation, 0.0011f) << i;
    }

    // The samples, the acquisition values and the texts are written identically again.
    SorRecord again;
    traceToRecord(b, again);
    SorBlocks x;
    SorBlocks y;
    const QByteArray twice = sor.SaveToBytes(again);
    ASSERT_EQ(parseSorBytes(bytesOf(resaved), static_cast<size_t>(resaved.size()), x), SorResult::Done);
    ASSERT_EQ(parseSorBytes(bytesOf(twice), static_cast<size_t>(twice.size()), y), SorResult::Done);
    EXPECT_EQ(writeFxdParams(x.fxdParams), writeFxdParams(y.fxdParams));
    EXPECT_EQ(writeDataPts(x.dataPts), writeDataPts(y.dataPts));
    EXPECT_EQ(writeGenParams(x.genParams).size(), writeGenParams(y.genParams).size());
}

// Files of other instruments, each built in memory, read and loaded with and without the event
// library.
namespace {

EventList g_lastList;
void recordingTotalLoss(int32_t w, int32_t p, const uint16_t *s, EventList *list, float n, float f)
{
    fakeTotalLoss(w, p, s, list, n, f);
    g_lastList = *list;
}

TraceData readAndLoad(const SorBlocks &blocks, QM7ZZZ_Acount_Total_Loss_fn totalLoss)
{
    const QByteArray file = writeSorBytes(blocks);
    CSorFileBase sor;
    SorRecord record;
    EXPECT_EQ(sor.ReadFromMemory(bytesOf(file), static_cast<size_t>(file.size()), record), SorResult::Done);
    TraceData trace;
    loadTrace(record, trace, totalLoss);
    return trace;
}

struct LibraryCase {
    const char *name;
    QM7ZZZ_Acount_Total_Loss_fn totalLoss;
};
const LibraryCase libraryCases[] = {{"with the library", recordingTotalLoss}, {"without the library", nullptr}};

} // namespace

TEST(OtherInstrumentFiles, CommentsWithoutNumbersLeaveCumulativeLossesToTheLibrary)
{
    SorBlocks words = sampleBlocks();
    words.keyEvents.endToEndLoss = 0; // no stored end-to-end loss to hold the totals to
    words.keyEvents.events[0].comment = " ";
    words.keyEvents.events[1].comment = "Fin de fibre";
    SorBlocks numbers = sampleBlocks();
    numbers.keyEvents.events[0].comment = "0.125";
    numbers.keyEvents.events[1].comment = "2.5";
    for (const LibraryCase &lib : libraryCases) {
        const bool bound = lib.totalLoss != nullptr;
        g_totalLossCalls = 0;
        const TraceData w = readAndLoad(words, lib.totalLoss);
        ASSERT_EQ(w.events.size(), 2u) << lib.name;
        EXPECT_EQ(w.events[0].totalLoss, bound ? 0.5f : 0.0f) << lib.name;
        EXPECT_EQ(w.events[1].totalLoss, bound ? 1.0f : 0.0f) << lib.name;
        EXPECT_EQ(g_totalLossCalls, bound ? 1 : 0) << lib.name;

        g_totalLossCalls = 0;
        const TraceData n = readAndLoad(numbers, lib.totalLoss);
        EXPECT_EQ(n.events[0].totalLoss, 0.125f) << lib.name << ": this system's own comments stand";
        EXPECT_EQ(n.events[1].totalLoss, 2.5f) << lib.name;
        EXPECT_EQ(g_totalLossCalls, 0) << lib.name;
    }
}

TEST(OtherInstrumentFiles, NoValueMarkersLoadAsZero)
{
    struct Case { const char *name; int16_t loss; int32_t reflectance; float wantLoss; float wantReflectance; };
    const Case cases[] = {
        {"reflectance -2147483648", 250, INT32_MIN, 0.25f, 0.0f},
        {"reflectance -2147483647", 250, INT32_MIN + 1, 0.25f, 0.0f},
        {"loss 32767", 32767, -45000, 0.0f, -45.0f},
        {"both markers", 32767, INT32_MIN, 0.0f, 0.0f},
        {"values next to the markers are measurements", 32766, INT32_MIN + 2, 32.766f,
         static_cast<float>((INT32_MIN + 2) / 1000.0)},
        {"the lowest loss is a measurement", -32768, -14000, -32.768f, -14.0f},
    };
    for (const LibraryCase &lib : libraryCases) {
        for (const Case &c : cases) {
            SorBlocks b = sampleBlocks();
            b.keyEvents.events[1].comment.clear();
            b.keyEvents.events[1].loss = c.loss;
            b.keyEvents.events[1].reflectance = c.reflectance;
            g_lastList = EventList{};
            const TraceData t = readAndLoad(b, lib.totalLoss);
            ASSERT_EQ(t.events.size(), 2u);
            EXPECT_EQ(t.events[1].loss, c.wantLoss) << lib.name << ": " << c.name;
            EXPECT_EQ(t.events[1].reflectance, c.wantReflectance) << lib.name << ": " << c.name;
            if (lib.totalLoss) {
                // The library computes from the values as loaded, never from a marker.
                EXPECT_EQ(g_lastList.loss[1], c.wantLoss) << c.name;
                EXPECT_EQ(g_lastList.reflectance[1], c.wantReflectance) << c.name;
            }
        }
    }
}

TEST(OtherInstrumentFiles, TestRangeWhenTheRangeDistanceIsMissingOrForeign)
{
    // n = 1.5: 100 ps of one-way time are 299792458 / 1.5e10 m; samples of 0.99931 m, `points`
    // of them acquired.
    struct Case { const char *name; int32_t distance; int32_t time; int32_t groupIndex; int32_t points; int32_t want; };
    const Case cases[] = {
        {"distance stored, time agrees", 25, 125086, 150000, 2600, 2500},
        {"distance stored, no time", 25, 0, 150000, 2600, 2500},
        {"distance within 100 m of the time", 48, 240102, 150000, 5000, 4800},
        {"distance in 0.1 m units: the time decides", 781257, 250172, 150000, 5100, 5000},
        {"distance wrapping in 32 bits: the time decides", 3000000, 250172, 150000, 5100, 5000},
        {"distance 0: from the acquisition range", 0, 1000000, 150000, 20000, 19986},
        {"distance 0, other group index", 0, 1000000, 146800, 20000, 20422},
        {"distance and acquisition range 0: the fibre length", 0, 0, 150000, 8, 8},
        {"negative acquisition range: the fibre length", 0, -5, 150000, 8, 8},
        {"range under 3 times the span stands", 25, 125086, 150000, 834, 2500},
        {"range over 3 times the span: the span", 25, 125086, 150000, 600, 600},
        {"range under a third of the span: the span", 25, 125086, 150000, 8000, 7994},
        {"a time in a unit of its own: the span", 0, 250172000, 150000, 5100, 5096},
    };
    for (const LibraryCase &lib : libraryCases) {
        for (const Case &c : cases) {
            SorBlocks b = sampleBlocks();
            b.fxdParams.acquisitionRangeDistance = c.distance;
            b.fxdParams.acquisitionRange = c.time;
            b.fxdParams.groupIndex = c.groupIndex;
            b.fxdParams.pulses[0].pointCount = c.points;
            const TraceData t = readAndLoad(b, lib.totalLoss);
            EXPECT_EQ(t.rangeMetres, c.want) << lib.name << ": " << c.name;
        }
    }
    // A group index of 0 gives no distance for a time; the fibre length is then not finite either.
    SorBlocks zero = sampleBlocks();
    zero.fxdParams.acquisitionRangeDistance = 0;
    zero.fxdParams.groupIndex = 0;
    EXPECT_EQ(readAndLoad(zero, nullptr).rangeMetres, 0);
}

TEST(OtherInstrumentFiles, WavelengthStoredInWholeNanometres)
{
    struct Case { int16_t stored; int32_t nm; };
    // 0.1 nm units, except values that would be a source below 200 nm: those are whole nm.
    const Case cases[] = {{15505, 1550}, {13100, 1310}, {8500, 850},  {1550, 1550}, {1310, 1310},
                          {850, 850},    {600, 600},    {599, 59},    {2000, 200},  {0, 0}};
    for (const LibraryCase &lib : libraryCases) {
        for (const Case &c : cases) {
            SorBlocks b = sampleBlocks();
            b.fxdParams.actualWavelength = c.stored;
            EXPECT_EQ(readAndLoad(b, lib.totalLoss).wavelengthNm, c.nm) << lib.name << ": stored " << c.stored;
        }
    }
}
