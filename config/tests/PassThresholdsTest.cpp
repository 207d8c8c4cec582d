#include "config/PassThresholds.h"
#include "trace/TraceSet.h"

#include "IniTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

PassThresholds readFrom(const QByteArray &passThrdLines)
{
    ScratchFolder scratch;
    const QString path = scratch.write(u"Config.ini"_s, "[PassThrd]\n" + passThrdLines);
    PassThresholds t;
    ReadPassThresholds(path, t);
    return t;
}

TEST(PassThresholds, MissingFileGivesTheDefaults)
{
    ScratchFolder scratch;
    PassThresholds t;
    t.IncludeAvg = false;
    t.Reflection = 9.0f;
    ReadPassThresholds(scratch.path(u"Config.ini"_s), t);
    const float expected[] = {0.5f, 0.2f, 20.0f, -40.0f, 3.0f, 0.8f, 0.4f, 0.3f, 0.3f, 0.3f, 0.3f};
    const float read[] = {t.Reflection,  t.NonReflection, t.TotalLoss,   t.ReturnLoss,  t.AvgLoss850, t.AvgLoss1300,
                          t.AvgLoss1310, t.AvgLoss1490,   t.AvgLoss1550, t.AvgLoss1625, t.AvgLoss1650};
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_FLOAT_EQ(read[i], expected[i]) << i;
    EXPECT_TRUE(t.IncludeReflection && t.IncludeNonReflection && t.IncludeTotalLoss && t.IncludeReturnLoss
                && t.IncludeAvg);
    EXPECT_FALSE(QFile::exists(scratch.path(u"Config.ini"_s))) << "reading creates nothing";
}

TEST(PassThresholds, StoredValuesAndTheirFallbacks)
{
    const struct {
        std::string line;
        float PassThresholds::*limit;
        float expected;
    } cases[] = {
        {"ReturnLoss=-0.05", &PassThresholds::ReturnLoss, -40.0f},
        {"ReturnLoss=-0.1", &PassThresholds::ReturnLoss, -0.1f}, // not strictly beyond the bound
        {"ReturnLoss=-30", &PassThresholds::ReturnLoss, -30.0f},
        {"ReturnLoss=12", &PassThresholds::ReturnLoss, -40.0f},
        {"TotalLoss=0.05", &PassThresholds::TotalLoss, 20.0f},
        {"TotalLoss=35.5", &PassThresholds::TotalLoss, 35.5f},
        {"AvgLoss1550=0.05", &PassThresholds::AvgLoss1550, 0.3f},
        {"AvgLoss1310=0.35", &PassThresholds::AvgLoss1310, 0.35f},
        {"Reflection=0", &PassThresholds::Reflection, 0.5f},
        {"Reflection=0.02", &PassThresholds::Reflection, 0.02f},
        // 0.01 as a float lies just below 0.01 as a double, so the fallback applies.
        {"Reflection=0.01", &PassThresholds::Reflection, 0.5f},
        {"NonReflection= 0.35dB ", &PassThresholds::NonReflection, 0.35f},
        {"NonReflection=abc", &PassThresholds::NonReflection, 0.2f},
        {"nonreflection=0.4", &PassThresholds::NonReflection, 0.4f}, // names match without case
        // Only 259 characters count: the 30 after 259 zeros is cut off.
        {"TotalLoss=" + std::string(259, '0').append("30"), &PassThresholds::TotalLoss, 20.0f},
        {"TotalLoss=" + std::string(257, '0').append("30"), &PassThresholds::TotalLoss, 30.0f},
    };
    for (const auto &c : cases) {
        const PassThresholds t = readFrom(QByteArray(c.line.c_str()) + "\n");
        EXPECT_FLOAT_EQ(t.*c.limit, c.expected) << c.line.substr(0, 40);
    }
}

TEST(PassThresholds, SwitchesAreOnUnlessZero)
{
    const struct {
        const char *value;
        bool on;
    } cases[] = {{"0", false}, {" 0 ", false}, {"1", true}, {"no", true}, {"", true}, {"00", true}};
    for (const auto &c : cases) {
        const PassThresholds t = readFrom("IncludeAvg=" + QByteArray(c.value) + "\nIncludeReflection=" + c.value + "\n");
        EXPECT_EQ(t.IncludeAvg, c.on) << c.value;
        EXPECT_EQ(t.IncludeReflection, c.on) << c.value;
    }
}

TEST(PassThresholds, SaveWritesAllSixteenKeysAndReadsBack)
{
    ScratchFolder scratch;
    const QByteArray before = "[Color]\nTrace1=255\n\n[PassThrd]\nTotalLoss = 20.0\n; kept\n\n[Unit]\nDistance=m\n";
    const QString path = scratch.write(u"Config.ini"_s, before);

    PassThresholds t;
    t.IncludeAvg = false;
    t.IncludeReturnLoss = false;
    t.Reflection = 0.456f;
    t.TotalLoss = 18.26f;
    t.ReturnLoss = -45.0f;
    t.AvgLoss1310 = 0.3456f;
    ASSERT_TRUE(SavePassThresholds(path, t));

    EXPECT_EQ(scratch.read(u"Config.ini"_s),
              QByteArray("[Color]\nTrace1=255\n\n[PassThrd]\nTotalLoss=18.3\n; kept\nIncludeReflection=1\n"
                         "IncludeNonReflection=1\nIncludeTotalLoss=1\nIncludeReturnLoss=0\nIncludeAvg=0\n"
                         "Reflection=0.46\nNonReflection=0.20\nReturnLoss=-45.0\nAvgLoss850=3.000\n"
                         "AvgLoss1300=0.800\nAvgLoss1310=0.346\nAvgLoss1490=0.300\nAvgLoss1550=0.300\n"
                         "AvgLoss1625=0.300\nAvgLoss1650=0.300\n\n[Unit]\nDistance=m\n"));

    PassThresholds back;
    ReadPassThresholds(path, back);
    EXPECT_FALSE(back.IncludeAvg);
    EXPECT_FALSE(back.IncludeReturnLoss);
    EXPECT_TRUE(back.IncludeReflection);
    EXPECT_FLOAT_EQ(back.Reflection, 0.46f);
    EXPECT_FLOAT_EQ(back.TotalLoss, 18.3f);
    EXPECT_FLOAT_EQ(back.ReturnLoss, -45.0f);
}

TEST(PassThresholds, SaveCreatesAMissingFileAndReportsFailure)
{
    ScratchFolder scratch;
    const QString path = scratch.path(u"Config.ini"_s);
    PassThresholds zero;
    zero.Reflection = 0.0f; // stored as typed; the next read falls back
    ASSERT_TRUE(SavePassThresholds(path, zero));
    PassThresholds back;
    ReadPassThresholds(path, back);
    EXPECT_FLOAT_EQ(back.Reflection, 0.5f);

    scratch.write(u"file"_s, "x");
    EXPECT_FALSE(SavePassThresholds(scratch.path(u"file/Config.ini"_s), zero));
}

// One event of a verdict fixture.
TraceEvent event(int typeDigit, char code, float loss, float reflectance = 0.0f, float totalLoss = 0.0f,
                 float distance = 0.0f)
{
    TraceEvent e;
    e.typeDigit = typeDigit;
    e.codeLetter = code;
    e.loss = loss;
    e.reflectance = reflectance;
    e.totalLoss = totalLoss;
    e.distance = distance;
    return e;
}

TEST(Verdict, Cases)
{
    PassThresholds returnLoss10;
    returnLoss10.ReturnLoss = -10.0f;
    PassThresholds allOff;
    allOff.IncludeReflection = allOff.IncludeNonReflection = allOff.IncludeTotalLoss = false;
    allOff.IncludeReturnLoss = allOff.IncludeAvg = false;
    PassThresholds onlyLoss = allOff;
    onlyLoss.IncludeReflection = onlyLoss.IncludeNonReflection = true;
    PassThresholds onlyTotal = allOff;
    onlyTotal.IncludeTotalLoss = true;
    PassThresholds onlyAvg = allOff;
    onlyAvg.IncludeAvg = true;
    PassThresholds onlyReturn = allOff;
    onlyReturn.IncludeReturnLoss = true;
    PassThresholds lossAndReturn = onlyLoss;
    lossAndReturn.IncludeReturnLoss = true;
    PassThresholds typedZero = onlyLoss;
    typedZero.Reflection = 0.0f;
    const PassThresholds defaults;

    // The fibre start, one event under test, and a plain fibre end that passes everything.
    const TraceEvent start = event(1, 'F', 0.0f, -50.0f);
    const TraceEvent end = event(2, 'E', 0.0f, -50.0f, 5.0f, 20000.0f);

    const struct {
        const char *name;
        PassThresholds thresholds;
        int wavelength;
        std::vector<TraceEvent> events;
        int expected;
    } cases[] = {
        {"no events", defaults, 1550, {}, VerdictNone},
        {"reflective loss at the limit fails", onlyLoss, 1550, {start, event(1, 'F', 0.5f), end}, VerdictFail},
        {"reflective loss below the limit passes", onlyLoss, 1550, {start, event(1, 'F', 0.49f), end}, VerdictPass},
        {"non-reflective limit", onlyLoss, 1550, {start, event(0, 'F', 0.2f), end}, VerdictFail},
        {"the last event's loss is not judged", onlyLoss, 1550, {start, event(1, 'F', 9.0f)}, VerdictNone},
        {"typed zero limit fails any positive loss", typedZero, 1550, {start, event(1, 'F', 0.01f), end},
         VerdictFail},
        {"total loss of exactly the limit passes", onlyTotal, 1550, {start, event(2, 'E', 0, 0, 20.0f, 1000)},
         VerdictPass},
        {"total loss above the limit fails", onlyTotal, 1550, {start, event(2, 'E', 0, 0, 20.01f, 1000)},
         VerdictFail},
        {"zero total loss at the end is incomplete", onlyTotal, 1550, {start, event(2, 'E', 0, 0, 0.0f, 1000)},
         VerdictIncomplete},
        {"0.5 dB/km fails at 1310 nm", onlyAvg, 1310, {start, event(2, 'E', 0, 0, 5.0f, 10000)}, VerdictFail},
        {"0.5 dB/km fails at 1550 nm", onlyAvg, 1550, {start, event(2, 'E', 0, 0, 5.0f, 10000)}, VerdictFail},
        {"0.5 dB/km passes at 1300 nm", onlyAvg, 1300, {start, event(2, 'E', 0, 0, 5.0f, 10000)}, VerdictPass},
        {"other wavelengths use the 1550 nm limit", onlyAvg, 1383, {start, event(2, 'E', 0, 0, 5.0f, 10000)},
         VerdictFail},
        {"no attenuation check at distance zero", onlyAvg, 1550, {start, event(2, 'E', 0, 0, 5.0f, 0)},
         VerdictNone},
        {"-15 dB counts as -20 and fails -40", onlyReturn, 1550, {start, event(1, 'F', 0.1f, -15.0f)},
         VerdictFail},
        {"-15 dB passes a -10 limit", returnLoss10, 1550, {event(1, 'F', 0.1f, -15.0f)}, VerdictPass},
        {"-45 dB passes -40", onlyReturn, 1550, {start, event(1, 'F', 0.1f, -45.0f)}, VerdictPass},
        {"-35 dB fails -40", onlyReturn, 1550, {start, event(1, 'F', 0.1f, -35.0f)}, VerdictFail},
        {"non-reflective events have no reflectance check", onlyReturn, 1550, {start, event(0, 'F', 0.1f, -5.0f)},
         VerdictPass},
        {"middle zero loss is incomplete", onlyLoss, 1550, {start, event(0, 'F', 0.0f), event(0, 'F', 0.1f), end},
         VerdictIncomplete},
        {"a later fail overrides incomplete", onlyLoss, 1550,
         {start, event(0, 'F', 0.0f), event(0, 'F', 0.3f), end}, VerdictFail},
        {"zero loss at the first event is not incomplete", onlyLoss, 1550, {event(0, 'F', 0.0f), end},
         VerdictNone},
        {"later zero reflectance replaces an earlier fail", lossAndReturn, 1550, {event(1, 'F', 0.9f, -50.0f), event(1, 'F', 0.1f, 0.0f), end}, VerdictIncomplete},
        {"switched-off zero value is ignored", onlyTotal, 1550, {start, event(0, 'F', 0.0f), event(2, 'E', 0, 0, 3, 0)},
         VerdictPass},
        {"every switch off", allOff, 1550, {start, event(1, 'F', 9.0f, -1.0f), event(2, 'E', 0, 0, 99, 10)},
         VerdictNone},
        {"a clean link passes with defaults", defaults, 1550,
         {start, event(0, 'F', 0.05f), event(1, 'F', 0.3f, -55.0f), end}, VerdictPass},
    };
    for (const auto &c : cases) {
        TraceData trace;
        trace.wavelengthNm = c.wavelength;
        trace.events = c.events;
        EXPECT_EQ(ComputeVerdict(&trace, c.thresholds), c.expected) << c.name;
    }
}

TEST(Verdict, UsesTheCurrentLoadedSlot)
{
    TraceSet traces;
    EXPECT_EQ(ComputeVerdict(nullptr), VerdictNone);
    traces.slots[1].trace->events = {event(1, 'F', 0.0f, -50.0f), event(1, 'F', 2.0f), event(2, 'E', 0, -50, 3, 9000)};
    traces.currentSlot = 1;
    EXPECT_EQ(ComputeVerdict(traces), VerdictNone) << "slot not loaded";
    traces.slots[1].loaded = 1;
    EXPECT_EQ(ComputeVerdict(traces), VerdictFail);
    traces.currentSlot = 9;
    EXPECT_EQ(ComputeVerdict(traces), VerdictNone);
}

} // namespace
