#include "trace/TraceSet.h"
#include "trace/Verdict.h"
#include "testsupport/TraceEvents.h"

#include <gtest/gtest.h>

namespace {

using testsupport::event;

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
    const TraceEvent start = event(0.0f, 1, 'F').reflectance(-50.0f);
    const TraceEvent end = event(20000.0f, 2, 'E').total(5.0f).reflectance(-50.0f);

    const struct {
        const char *name;
        PassThresholds thresholds;
        int wavelength;
        std::vector<TraceEvent> events;
        int expected;
    } cases[] = {
        {"no events", defaults, 1550, {}, VerdictNone},
        {"reflective loss at the limit fails", onlyLoss, 1550, {start, event(0.0f, 1, 'F').loss(0.5f), end}, VerdictFail},
        {"reflective loss below the limit passes", onlyLoss, 1550, {start, event(0.0f, 1, 'F').loss(0.49f), end}, VerdictPass},
        {"non-reflective limit", onlyLoss, 1550, {start, event(0.0f, 0, 'F').loss(0.2f), end}, VerdictFail},
        {"the last event's loss is not judged", onlyLoss, 1550, {start, event(0.0f, 1, 'F').loss(9.0f)}, VerdictNone},
        {"typed zero limit fails any positive loss", typedZero, 1550, {start, event(0.0f, 1, 'F').loss(0.01f), end},
         VerdictFail},
        {"total loss of exactly the limit passes", onlyTotal, 1550, {start, event(1000, 2, 'E').total(20.0f)},
         VerdictPass},
        {"total loss above the limit fails", onlyTotal, 1550, {start, event(1000, 2, 'E').total(20.01f)},
         VerdictFail},
        {"zero total loss at the end is incomplete", onlyTotal, 1550, {start, event(1000, 2, 'E')},
         VerdictIncomplete},
        {"0.5 dB/km fails at 1310 nm", onlyAvg, 1310, {start, event(10000, 2, 'E').total(5.0f)}, VerdictFail},
        {"0.5 dB/km fails at 1550 nm", onlyAvg, 1550, {start, event(10000, 2, 'E').total(5.0f)}, VerdictFail},
        {"0.5 dB/km passes at 1300 nm", onlyAvg, 1300, {start, event(10000, 2, 'E').total(5.0f)}, VerdictPass},
        {"other wavelengths use the 1550 nm limit", onlyAvg, 1383, {start, event(10000, 2, 'E').total(5.0f)},
         VerdictFail},
        {"no attenuation check at distance zero", onlyAvg, 1550, {start, event(0, 2, 'E').total(5.0f)},
         VerdictNone},
        {"-15 dB counts as -20 and fails -40", onlyReturn, 1550, {start, event(0.0f, 1, 'F').loss(0.1f).reflectance(-15.0f)},
         VerdictFail},
        {"-15 dB passes a -10 limit", returnLoss10, 1550, {event(0.0f, 1, 'F').loss(0.1f).reflectance(-15.0f)}, VerdictPass},
        {"-45 dB passes -40", onlyReturn, 1550, {start, event(0.0f, 1, 'F').loss(0.1f).reflectance(-45.0f)}, VerdictPass},
        {"-35 dB fails -40", onlyReturn, 1550, {start, event(0.0f, 1, 'F').loss(0.1f).reflectance(-35.0f)}, VerdictFail},
        {"non-reflective events have no reflectance check", onlyReturn, 1550, {start, event(0.0f, 0, 'F').loss(0.1f).reflectance(-5.0f)},
         VerdictPass},
        {"middle zero loss is incomplete", onlyLoss, 1550, {start, event(0.0f, 0, 'F'), event(0.0f, 0, 'F').loss(0.1f), end},
         VerdictIncomplete},
        {"a later fail overrides incomplete", onlyLoss, 1550,
         {start, event(0.0f, 0, 'F'), event(0.0f, 0, 'F').loss(0.3f), end}, VerdictFail},
        {"zero loss at the first event is not incomplete", onlyLoss, 1550, {event(0.0f, 0, 'F'), end},
         VerdictNone},
        {"later zero reflectance replaces an earlier fail", lossAndReturn, 1550, {event(0.0f, 1, 'F').loss(0.9f).reflectance(-50.0f), event(0.0f, 1, 'F').loss(0.1f), end}, VerdictIncomplete},
        {"switched-off zero value is ignored", onlyTotal, 1550, {start, event(0.0f, 0, 'F'), event(0, 2, 'E').total(3)},
         VerdictPass},
        {"every switch off", allOff, 1550, {start, event(0.0f, 1, 'F').loss(9.0f).reflectance(-1.0f), event(10, 2, 'E').total(99)},
         VerdictNone},
        {"a clean link passes with defaults", defaults, 1550,
         {start, event(0.0f, 0, 'F').loss(0.05f), event(0.0f, 1, 'F').loss(0.3f).reflectance(-55.0f), end}, VerdictPass},
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
    traces.slots[1].trace->events = {event(0.0f, 1, 'F').reflectance(-50.0f), event(0.0f, 1, 'F').loss(2.0f), event(9000, 2, 'E').total(3).reflectance(-50)};
    traces.currentSlot = 1;
    EXPECT_EQ(ComputeVerdict(traces, PassThresholds{}), VerdictNone) << "slot not loaded";
    traces.slots[1].loaded = 1;
    EXPECT_EQ(ComputeVerdict(traces, PassThresholds{}), VerdictFail);
    traces.currentSlot = 9;
    EXPECT_EQ(ComputeVerdict(traces, PassThresholds{}), VerdictNone);
}

} // namespace
