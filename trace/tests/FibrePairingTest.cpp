// Both directions of a fibre averaged, two wavelengths compared, and a cable's files paired by
// fibre, on traces built in memory whose true event losses are known.

#include "trace/FibrePairing.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

struct Ev {
    float distance; // m
    float loss;     // dB
    float reflectance = 0.0f;
};

// A trace launched at `from` towards `to`: a start event at 0, the given events, and the end
// event at `length` carrying the end-to-end loss.
TraceData makeTrace(int wavelength, int pulse, float length, float total, std::initializer_list<Ev> events,
                    const char *from = "A", const char *to = "B", const char *fibre = "7")
{
    TraceData t;
    t.wavelengthNm = wavelength;
    t.pulseWidthNs = pulse;
    t.refractiveIndex = 1.4682f;
    t.cableId = QStringLiteral("C1");
    t.fiberId = QString::fromLatin1(fibre);
    t.locationA = QString::fromLatin1(from);
    t.locationB = QString::fromLatin1(to);
    TraceEvent start;
    start.typeDigit = 1;
    start.codeLetter = 'F';
    start.reflectance = -55.0f;
    t.events.push_back(start);
    for (const Ev &e : events) {
        TraceEvent x;
        x.distance = e.distance;
        x.loss = e.loss;
        x.reflectance = e.reflectance;
        x.typeDigit = e.reflectance != 0.0f ? 1 : 0;
        x.codeLetter = 'F';
        t.events.push_back(x);
    }
    TraceEvent end;
    end.distance = length;
    end.typeDigit = 1;
    end.codeLetter = 'E';
    end.totalLoss = total;
    end.reflectance = -40.0f;
    t.events.push_back(end);
    return t;
}

FibreTrace fibre(const TraceData &t, const char *file = "f.sor")
{
    return fibreTrace(summarizeTrace(QString::fromLatin1(file), t, PassThresholds{}), t);
}

// One fibre of 10 km with three events whose true losses are 0.20 dB (a splice between fibres of
// different backscatter: -0.10 seen from A, +0.50 from B), 0.30 dB (a connector) and 0.15 dB
// (seen from A only). The B->A trace is 12 m longer, so its distances do not simply mirror.
struct KnownFibre {
    TraceData ab = makeTrace(1550, 100, 10000.0f, 3.10f, {{3000.0f, -0.10f}, {6000.0f, 0.28f, -48.0f}, {8500.0f, 0.30f}});
    TraceData ba = makeTrace(1550, 100, 10012.0f, 3.30f, {{4016.0f, 0.32f, -45.0f}, {7010.0f, 0.50f}}, "B", "A");
};

TEST(Bidirectional, MeanOfBothDirectionsGivesTheTrueLosses)
{
    const KnownFibre k;
    const BidirResult r = pairDirections(fibre(k.ab), fibre(k.ba));
    ASSERT_EQ(r.refusal, PairRefusal::None);
    EXPECT_FALSE(r.warnings.any());
    EXPECT_DOUBLE_EQ(r.toleranceM, 25.0);
    EXPECT_NEAR(r.fibreLengthM, 10012.0, 1e-3);
    EXPECT_NEAR(*r.totalLossAbDb, 3.10, 1e-6);
    EXPECT_NEAR(*r.totalLossBaDb, 3.30, 1e-6);
    EXPECT_NEAR(*r.totalLossDb, 3.20, 1e-6);

    ASSERT_EQ(r.events.size(), 3u);
    // The gainer: B->A's 7010 m lies at 10012 - 7010 = 3002 m.
    EXPECT_NEAR(r.events[0].distanceM, 3000.0, 1e-3);
    EXPECT_NEAR(r.events[0].lossAbDb, -0.10, 1e-6);
    EXPECT_NEAR(r.events[0].lossBaDb, 0.50, 1e-6);
    EXPECT_NEAR(r.events[0].lossDb, 0.20, 1e-6);
    EXPECT_EQ(r.events[0].seen, Seen::Both);
    EXPECT_FALSE(r.events[0].reflectanceDb);
    // The connector: the worse reflectance of -48 and -45 is -45.
    EXPECT_NEAR(r.events[1].distanceM, 6000.0, 1e-3);
    EXPECT_NEAR(r.events[1].lossDb, 0.30, 1e-6);
    ASSERT_TRUE(r.events[1].reflectanceDb);
    EXPECT_NEAR(*r.events[1].reflectanceDb, -45.0, 1e-6);
    // Seen from A only: 0 dB from B, half the seen loss.
    EXPECT_NEAR(r.events[2].distanceM, 8500.0, 1e-3);
    EXPECT_EQ(r.events[2].seen, Seen::First);
    EXPECT_DOUBLE_EQ(r.events[2].lossBaDb, 0.0);
    EXPECT_NEAR(r.events[2].lossDb, 0.15, 1e-6);
    EXPECT_STREQ(seenWord(r.events[2].seen), "ab");
}

TEST(Bidirectional, EventSeenOnlyFromBLiesInTheABFrame)
{
    const TraceData ab = makeTrace(1310, 30, 5000.0f, 1.8f, {});
    const TraceData ba = makeTrace(1310, 30, 5000.0f, 2.0f, {{1000.0f, 0.40f, -50.0f}}, "B", "A");
    const BidirResult r = pairDirections(fibre(ab), fibre(ba));
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_NEAR(r.events[0].distanceM, 4000.0, 1e-3);
    EXPECT_EQ(r.events[0].seen, Seen::Second);
    EXPECT_STREQ(seenWord(r.events[0].seen), "ba");
    EXPECT_DOUBLE_EQ(r.events[0].lossAbDb, 0.0);
    EXPECT_NEAR(r.events[0].lossDb, 0.20, 1e-6);
    EXPECT_NEAR(*r.events[0].reflectanceDb, -50.0, 1e-6);
}

TEST(Bidirectional, EventsAtTheFibreEndsAreLeftOut)
{
    // A->B sees a connector 10 m after its launch; B->A sees the same place 10 m before its end.
    const TraceData ab = makeTrace(1550, 10, 2000.0f, 1.0f, {{10.0f, 0.5f, -40.0f}, {1000.0f, 0.1f}});
    const TraceData ba = makeTrace(1550, 10, 2000.0f, 1.0f, {{1000.0f, 0.1f}, {1990.0f, 0.5f, -40.0f}}, "B", "A");
    const BidirResult r = pairDirections(fibre(ab), fibre(ba));
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_NEAR(r.events[0].distanceM, 1000.0, 1e-3);
    EXPECT_EQ(r.events[0].seen, Seen::Both);
}

TEST(Bidirectional, ToleranceFollowsThePulseOrTheGivenValue)
{
    // 80 m apart: one event with 1 us pulses (100 m tolerance), two with 100 ns (25 m).
    const auto events = [](int pulse, std::optional<double> tolerance) {
        const TraceData ab = makeTrace(1550, pulse, 20000.0f, 5.0f, {{9000.0f, 0.2f}});
        const TraceData ba = makeTrace(1550, pulse, 20000.0f, 5.0f, {{10920.0f, 0.2f}}, "B", "A");
        return pairDirections(fibre(ab), fibre(ba), tolerance).events.size();
    };
    EXPECT_EQ(events(1000, std::nullopt), 1u);
    EXPECT_EQ(events(100, std::nullopt), 2u);
    EXPECT_EQ(events(100, 90.0), 1u);
    EXPECT_DOUBLE_EQ(matchTolerance(std::nullopt, 300, 1000), 100.0);
    EXPECT_DOUBLE_EQ(matchTolerance(std::nullopt, 30, 10), 25.0);
}

TEST(Bidirectional, RefusedAndDoubtfulPairs)
{
    const KnownFibre k;
    TraceData other = k.ba;
    other.wavelengthNm = 1310;
    EXPECT_EQ(pairDirections(fibre(k.ab), fibre(other)).refusal, PairRefusal::DifferentWavelengths);

    // 1548 nm as stored by one instrument is the 1550 nm band.
    other = k.ba;
    other.wavelengthNm = 1548;
    EXPECT_EQ(pairDirections(fibre(k.ab), fibre(other)).refusal, PairRefusal::None);

    other = k.ba;
    other.pulseWidthNs = 300;
    other.refractiveIndex = 1.4675f;
    const BidirResult r = pairDirections(fibre(k.ab), fibre(other));
    EXPECT_EQ(r.refusal, PairRefusal::None);
    EXPECT_TRUE(r.warnings.pulseWidth);
    EXPECT_TRUE(r.warnings.groupIndex);
    EXPECT_DOUBLE_EQ(r.toleranceM, 30.0);
    EXPECT_EQ(r.events.size(), 3u);

    // A total the instrument did not measure leaves the mean empty.
    other = k.ba;
    other.events.back().totalLoss = 0.0f;
    EXPECT_FALSE(pairDirections(fibre(k.ab), fibre(other)).totalLossDb);
}

TEST(EventMatching, NearestPartnerWins)
{
    // 130 is nearer to 125 than 100 is, although 100 comes first.
    const auto pairs = matchEvents({100.0, 130.0}, {125.0}, 30.0);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0], std::make_pair(0, -1));
    EXPECT_EQ(pairs[1], std::make_pair(1, 0));
    EXPECT_TRUE(matchEvents({}, {}, 25.0).empty());
}

TEST(Wavelengths, BendFlaggedAtTheThresholdInEitherOrder)
{
    // A splice alike at both wavelengths, a bend (0.5 dB more at 1550: the threshold), a near
    // bend (0.49 dB more) and a bend invisible at 1310.
    const TraceData s = makeTrace(1310, 100, 10000.0f, 4.0f, {{2000.0f, 0.10f}, {4000.0f, 0.10f}, {6000.0f, 0.11f}});
    const TraceData l =
        makeTrace(1550, 100, 10000.0f, 3.0f, {{2003.0f, 0.09f}, {3998.0f, 0.60f}, {6000.0f, 0.60f}, {8000.0f, 0.70f}});
    for (const bool longFirst : {false, true}) {
        const WavelengthResult r =
            longFirst ? compareWavelengths(fibre(l), fibre(s)) : compareWavelengths(fibre(s), fibre(l));
        ASSERT_EQ(r.refusal, PairRefusal::None);
        EXPECT_EQ(r.swapped, longFirst);
        EXPECT_EQ(r.shortNm, 1310);
        EXPECT_EQ(r.longNm, 1550);
        ASSERT_EQ(r.events.size(), 4u);
        EXPECT_NEAR(r.events[0].differenceDb, -0.01, 1e-6);
        EXPECT_FALSE(r.events[0].macrobend);
        EXPECT_NEAR(r.events[1].differenceDb, 0.50, 1e-6);
        EXPECT_TRUE(r.events[1].macrobend);
        EXPECT_FALSE(r.events[2].macrobend);
        EXPECT_EQ(r.events[3].seen, Seen::Second);
        EXPECT_DOUBLE_EQ(r.events[3].lossShortDb, 0.0);
        EXPECT_TRUE(r.events[3].macrobend);
        EXPECT_EQ(r.bends, 2);
    }
    EXPECT_EQ(compareWavelengths(fibre(s), fibre(l), std::nullopt, 0.75).bends, 0);
    EXPECT_EQ(compareWavelengths(fibre(s), fibre(s)).refusal, PairRefusal::SameWavelength);
}

TEST(FibrePairs, FilesPairByFibreWavelengthAndSwappedLocations)
{
    std::vector<FibreTrace> files;
    const auto add = [&](int wavelength, const char *from, const char *to, const char *fib) {
        files.push_back(fibre(makeTrace(wavelength, 100, 1000.0f, 1.0f, {}, from, to, fib)));
    };
    add(1550, "North", "South", "1"); // 0: sets the cable's A end to North
    add(1310, "South", "North", "1"); // 1
    add(1310, "North", "South", "1"); // 2
    add(1550, "South", "North", "2"); // 3: fibre 2 from the B end only
    add(1550, "South", "North", "1"); // 4
    add(1549, "North", "South", "2"); // 5: one band with 3
    add(1310, "North", "South", "3"); // 6
    add(1310, "North", "South", "3"); // 7: the same direction twice: two rows
    const std::vector<FibreRow> rows = pairByFibre(files);
    ASSERT_EQ(rows.size(), 5u);
    const auto row = [&](size_t i) { return std::make_pair(rows[i].ab, rows[i].ba); };
    EXPECT_EQ(row(0), std::make_pair(2, 1)); // fibre 1, 1310: North->South first
    EXPECT_EQ(row(1), std::make_pair(0, 4)); // fibre 1, 1550
    EXPECT_EQ(row(2), std::make_pair(5, 3)); // fibre 2
    EXPECT_EQ(row(3), std::make_pair(6, -1));
    EXPECT_EQ(row(4), std::make_pair(7, -1));
}

} // namespace
