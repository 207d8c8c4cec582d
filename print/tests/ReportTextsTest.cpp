#include "print/ReportTexts.h"

#include "trace/TraceSet.h"
#include "testsupport/TraceEvents.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

using testsupport::event;

ReportLabels labels()
{
    ReportLabels l;
    l.autoText = "Auto";
    l.reflect = " Reflect";
    l.nonReflect = " Non-Reflect";
    return l;
}

TEST(AbTexts, DistanceLossAndSlope)
{
    struct Case {
        CursorPair cursors;
        const char *distance;
        const char *loss;
        const char *slope;
    } cases[] = {
        {{1000, 0, 13500, 2.5f}, "12.500 Km", "2.500 dB", "0.200 dB/km"},
        {{1000, 0, 3000, 1.0f}, "2000.00 m", "1.000 dB", "0.500 dB/km"},
        {{3000, 1.0f, 1000, 1.0f}, "2000.00 m", "--", "--"},
        {{500, 0, 500, 1.0f}, "0.00 m", "1.000 dB", "--"},
        {{0, 0, 10000, 1.0f}, "10000.00 m", "1.000 dB", "0.100 dB/km"},
    };
    for (const Case &c : cases) {
        const AbTexts t = abTexts(c.cursors);
        EXPECT_EQ(t.distance, QString(c.distance));
        EXPECT_EQ(t.loss, QString(c.loss));
        EXPECT_EQ(t.slope, QString(c.slope));
    }
}

TEST(RangeAndPulse, UnitsByMagnitude)
{
    EXPECT_EQ(rangeText("25000"), "25 km");
    EXPECT_EQ(rangeText("800"), "800m");
    EXPECT_EQ(rangeText(""), "m");
    EXPECT_EQ(pulseText("10000"), "10us");
    EXPECT_EQ(pulseText("100"), "100ns");
    EXPECT_EQ(pulseText("1500"), "1us");
}

TEST(EventRows, OneRowPerEventAfterTheFirst)
{
    TraceData trace;
    trace.userOffset = 100.0f;
    trace.events = {event(100, 0, 'F').attenuation(0.2f), event(1100, 1, 'A').loss(0.45f).total(0.65f).reflectance(-45.5f).attenuation(0.2f),
                    event(3100, 0, 'F').loss(0.1f).attenuation(0.2f), event(5100, 1, 'E').loss(0.7f).total(1.234f).reflectance(-14.0f).attenuation(0.2f)};
    const std::vector<ReportEventRow> rows = eventRows(trace, "m", labels());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], "1 Reflect(A)");
    EXPECT_EQ(rows[1][0], "2 Non-Reflect(F)");
    EXPECT_EQ(rows[2][0], "3 Reflect(E)");
    EXPECT_EQ(rows[0][1], "1.000");  // (1100 - 100) / 1000
    EXPECT_EQ(rows[0][2], "1.100");  // first segment from 0
    EXPECT_EQ(rows[1][2], "2.000");
    EXPECT_EQ(rows[0][3], "0.450");
    EXPECT_EQ(rows[2][3], "--");     // end event has no loss
    EXPECT_EQ(rows[1][4], "--");     // total loss 0
    EXPECT_EQ(rows[2][4], "1.234");
    EXPECT_EQ(rows[0][5], "0.200");
    EXPECT_EQ(rows[0][6], "-45.500");
    EXPECT_EQ(rows[1][6], "--");     // non-reflective
    const std::vector<ReportEventRow> miles = eventRows(trace, "mi", labels());
    EXPECT_EQ(miles[0][1], "0.621");
    EXPECT_EQ(eventRows(trace, "ft", labels())[0][1], "3.281");

    TraceEvent odd = event(200, 5, 'X').attenuation(0.2f);
    trace.events = {event(0, 0, 'F').attenuation(0.2f), odd};
    EXPECT_EQ(eventRows(trace, "m", labels())[0][0], "1");
}

TEST(CompactEventLimits, RowsAndHeightsByLayout)
{
    EXPECT_EQ(compactEventLimits(8).rows, 3);
    EXPECT_FLOAT_EQ(compactEventLimits(8).rowFactor, 1.5f);
    EXPECT_EQ(compactEventLimits(6).rows, 3);
    EXPECT_EQ(compactEventLimits(4).rows, 6);
    EXPECT_EQ(compactEventLimits(2).rows, 6);
    EXPECT_EQ(compactEventLimits(1).rows, 8);
}

TEST(ReportValues, SelfDefineTakesTheSettingsElseTheTrace)
{
    TraceSlot slot;
    slot.loaded = 1;
    slot.fileName = "a.sor";
    TraceData &t = *slot.trace;
    t.wavelengthNm = 1550;
    t.pulseWidthNs = 10000;
    t.rangeMetres = 25000;
    t.lossThreshold = 0.0f;
    t.reflectanceThreshold = -65.0f;
    t.endThreshold = 3.0f;
    t.backscatter = 0.0f;
    t.averagingTime = 30;
    t.refractiveIndex = 1.4682f;
    t.operatorName = "张三";
    t.model = "";
    t.serialNumber = "S1";

    PrintSettings settings;
    settings.selfDefine = false;
    settings.wavelength = "1310";
    ReportValues v = reportValues(slot, settings, "Auto");
    EXPECT_EQ(v.wavelength, "1550");
    EXPECT_EQ(pulseText(v.pulse), "10us");
    EXPECT_EQ(rangeText(v.range), "25 km");
    EXPECT_EQ(v.lossThreshold, "Auto");
    EXPECT_EQ(v.reflectionThreshold, "-65.000");
    EXPECT_EQ(v.endThreshold, "3.000");
    EXPECT_EQ(v.backscatter, "Auto");
    EXPECT_EQ(v.average, "30");
    EXPECT_EQ(v.index, "1.468");
    EXPECT_EQ(v.operatorName, "张三");
    EXPECT_EQ(v.fileName, "a.sor");
    EXPECT_EQ(modelLine(v.model, v.serialNumber), " SN: S1");
    EXPECT_EQ(modelLine("M7", "S1"), "Model: M7 SN: S1");

    settings.selfDefine = true;
    settings.pulse = "10000";
    v = reportValues(slot, settings, "Auto");
    EXPECT_EQ(v.wavelength, "1310");
    EXPECT_EQ(pulseText(v.pulse), "10us");
    EXPECT_EQ(v.lossThreshold, "");  // absent key: empty value
    EXPECT_EQ(v.operatorName, "张三"); // always from the trace
}

TEST(ReportValues, StoredMagnitudesPrintAsTheNegativeQuantitiesTheyAre)
{
    TraceSlot slot;
    slot.loaded = 1;
    TraceData &t = *slot.trace;
    t.backscatter = 80.0f;          // as files store a coefficient of -80 dB
    t.reflectanceThreshold = 40.0f; // and a threshold of -40 dB
    PrintSettings fromTrace;
    fromTrace.selfDefine = false;
    ReportValues v = reportValues(slot, fromTrace, "Auto");
    EXPECT_EQ(v.backscatter, "-80.0");
    EXPECT_EQ(v.reflectionThreshold, "-40.000");
    t.backscatter = -81.5f; // already signed: as it is
    EXPECT_EQ(reportValues(slot, fromTrace, "Auto").backscatter, "-81.5");
}

TEST(ReportValues, TotalLossOfTheFibreEndAndTheStoredOrl)
{
    TraceSlot slot;
    slot.loaded = 1;
    TraceData &t = *slot.trace;
    const ReportValues none = reportValues(slot, PrintSettings{}, "Auto");
    EXPECT_EQ(none.totalLoss, "--");
    EXPECT_EQ(none.orl, "--");
    for (const auto &[distance, letter, total] :
         {std::tuple{0.0f, 'F', 0.3f}, std::tuple{8000.0f, 'E', 3.696f}, std::tuple{9000.0f, 'F', 3.696f}}) {
        TraceEvent e;
        e.distance = distance;
        e.codeLetter = letter;
        e.totalLoss = total;
        t.events.push_back(e);
    }
    t.orlDb = 30.715f;
    const ReportValues v = reportValues(slot, PrintSettings{}, "Auto");
    EXPECT_EQ(v.totalLoss, "3.696") << "the fibre end's, not the last event's";
    EXPECT_EQ(v.orl, "30.72");
}

TEST(VerdictText, OnlyPassAndFailPrint)
{
    EXPECT_EQ(verdictText(1), "PASS");
    EXPECT_EQ(verdictText(2), "FAIL");
    EXPECT_EQ(verdictText(0), "");
    EXPECT_EQ(verdictText(3), "");
}

TEST(CursorFractions, AlongTheTraceLength)
{
    TraceData t;
    t.sampleCount = 1000;
    t.sampleSpacing = 2.0f;
    const CursorFractions f = cursorFractions({500, 0, 1500, 0}, t);
    EXPECT_FLOAT_EQ(f.a, 0.25f);
    EXPECT_FLOAT_EQ(f.b, 0.75f);
    t.sampleCount = 0;
    EXPECT_FLOAT_EQ(cursorFractions({500, 0, 1500, 0}, t).a, 0.0f);
}

// The A-B box in each measurement mode: two-point as before, LSA and splice from the page's own
// trace, with the mode named beside the loss.
TEST(ReportTexts, AbTextsInEachMeasurementMode)
{
    TraceData t;
    t.sampleSpacing = 1.0f;
    // 3 km at 0.2 dB/km with a 0.3 dB step at 1500 m, levels as raw samples.
    for (int k = 0; k < 3000; ++k) {
        const double x = k + 1.0;
        const double level = 30.0 - 0.0002 * x - (x >= 1500.0 ? 0.3 : 0.0);
        t.samples.push_back(static_cast<uint16_t>(std::lround(65535.0 - level * 1000.0)));
    }
    t.sampleCount = 3000;
    ReportLabels labels;
    labels.measureLsa = QStringLiteral("LSA");
    labels.measureSplice = QStringLiteral("Splice");
    const CursorPair c{1400.0f, 0.0f, 1600.0f, 0.0f};
    EXPECT_EQ(measuredAbTexts(c, t, MeasurementMode::TwoPoint, labels).loss, abTexts(c).loss);
    EXPECT_EQ(measuredAbTexts(c, t, MeasurementMode::Splice, labels).loss, QStringLiteral("0.300 dB (Splice)"));
    const AbTexts lsa = measuredAbTexts({200.0f, 0.0f, 1200.0f, 0.0f}, t, MeasurementMode::Lsa, labels);
    EXPECT_EQ(lsa.loss, QStringLiteral("0.200 dB (LSA)"));
    EXPECT_EQ(lsa.slope, QStringLiteral("0.200 dB/km"));
    // Per unit of the page's distances, as the screen's readout: 0.2 dB/km is 0.322 dB/mile.
    const CursorPair lsaCursors{200.0f, 0.0f, 1200.0f, 0.0f};
    EXPECT_EQ(measuredAbTexts(lsaCursors, t, MeasurementMode::Lsa, labels, QStringLiteral("mi")).slope,
              QStringLiteral("0.322 dB/miles"));
    EXPECT_EQ(measuredAbTexts(lsaCursors, t, MeasurementMode::Lsa, labels, QStringLiteral("ft")).slope,
              QStringLiteral("0.061 dB/kft"));
    EXPECT_EQ(measuredAbTexts({0.0f, 0.0f, 5000.0f, 0.0f}, t, MeasurementMode::Lsa, labels).loss,
              QStringLiteral("-- (LSA)"));
}

} // namespace
