#include "trace/TraceSet.h"
#include "trace/Verdict.h"

#include <gtest/gtest.h>

namespace {

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
    EXPECT_EQ(ComputeVerdict(nullptr, PassThresholds{}), VerdictNone);
    traces.slots[1].trace->events = {event(1, 'F', 0.0f, -50.0f), event(1, 'F', 2.0f), event(2, 'E', 0, -50, 3, 9000)};
    traces.currentSlot = 1;
    EXPECT_EQ(ComputeVerdict(traces, PassThresholds{}), VerdictNone) << "slot not loaded";
    traces.slots[1].loaded = 1;
    EXPECT_EQ(ComputeVerdict(traces, PassThresholds{}), VerdictFail);
    traces.currentSlot = 9;
    EXPECT_EQ(ComputeVerdict(traces, PassThresholds{}), VerdictNone);
}

} // namespace
