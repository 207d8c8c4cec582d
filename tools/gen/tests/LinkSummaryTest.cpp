// The link summary row of a trace, its CSV and JSON forms, and the table text helpers.

#include "testsupport/TraceEvents.h"
#include "testsupport/CommaDecimalLocale.h"
#include "tools/gen/GeneratedFile.h"
#include "trace/CSorFileBase.h"
#include "trace/LinkSummary.h"
#include "trace/TableExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

using testsupport::event;

TraceData trace1550(std::vector<TraceEvent> events)
{
    TraceData t;
    t.wavelengthNm = 1550;
    t.pulseWidthNs = 100;
    t.events = std::move(events);
    return t;
}

// A launch connector, a splice and the reflective end of a 10 km link: every check passes with
// the default thresholds.
std::vector<TraceEvent> passingLink()
{
    return {event(0.0f, 1, 'F').loss(0.30f).total(0.30f).reflectance(-50.0f).attenuation(0.19f), event(4000.0f, 0, 'F').loss(0.10f).total(1.20f).attenuation(0.19f),
            event(10000.0f, 1, 'E').total(2.50f).reflectance(-45.0f).attenuation(0.19f)};
}

struct SummaryCase {
    const char *name;
    std::vector<TraceEvent> events;
    // length, events, total loss, max event loss, worst reflectance, attenuation, verdict
    std::array<const char *, 7> expected;
};

void PrintTo(const SummaryCase &c, std::ostream *os) { *os << c.name; }

class SummaryColumns : public testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryColumns, CellsOfTheRow)
{
    const SummaryCase &c = GetParam();
    const QStringList cells = summaryCells(summarizeTrace("f.sor", trace1550(c.events), PassThresholds{}));
    ASSERT_EQ(cells.size(), 12);
    EXPECT_EQ(cells[0], "f.sor");
    EXPECT_EQ(cells[1], "ok");
    EXPECT_EQ(cells[2], "1550");
    EXPECT_EQ(cells[3], "100");
    const int at[] = {4, 5, 6, 7, 8, 9, 10};
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(cells[at[k]], QString::fromUtf8(c.expected[size_t(k)])) << summaryColumns()[at[k]].toStdString();
    EXPECT_EQ(cells[11], "") << "no ORL stored";
}

std::vector<SummaryCase> summaryCases()
{
    std::vector<SummaryCase> cases;
    // The start connector's loss is no event loss of the link: the splice's 0.1 dB is the largest.
    cases.push_back({"Passing", passingLink(), {"10000.00", "3", "2.500", "0.100", "-45.000", "0.250", "PASS"}});

    auto failing = passingLink();
    failing[1].loss = 0.45f; // a splice over its 0.2 dB limit
    cases.push_back({"Failing", failing, {"10000.00", "3", "2.500", "0.450", "-45.000", "0.250", "FAIL"}});

    auto zeroSplice = passingLink();
    zeroSplice[1].loss = 0.0f; // unmeasured: not the largest loss, and the verdict is incomplete
    cases.push_back({"UnmeasuredLossIsSkipped", zeroSplice, {"10000.00", "3", "2.500", "", "-45.000", "0.250", "INCOMPLETE"}});

    auto noTotal = passingLink();
    noTotal[2].totalLoss = 0.0f; // a file whose comments hold no numbers
    cases.push_back({"NoCumulativeLoss", noTotal, {"10000.00", "3", "", "0.100", "-45.000", "", "INCOMPLETE"}});

    auto noEnd = passingLink();
    noEnd[2].codeLetter = 'F'; // no E: the last event ends the fibre
    noEnd[1].codeLetter = 'A';
    // Without E the verdict has no total-loss or attenuation check; the event checks still pass.
    cases.push_back({"LastEventWithoutE", noEnd, {"10000.00", "3", "2.500", "0.100", "-45.000", "0.250", "PASS"}});

    auto endInside = passingLink();
    endInside[1] = event(8000.0f, 1, 'E').total(1.60f).reflectance(-30.0f).attenuation(0.19f); // first E wins; the ghost beyond it
    endInside[2] = event(16000.0f, 1, 'F').loss(0.70f).reflectance(-60.0f).attenuation(0.19f); // is no event loss of the link
    cases.push_back({"FirstEndEvent", endInside, {"8000.00", "3", "1.600", "", "-30.000", "0.200", "FAIL"}});

    auto frontE = passingLink();
    frontE[0].codeLetter = 'E'; // an E on the front connector, as some instruments write it
    cases.push_back({"EOnTheFrontConnectorIsNoEnd", frontE, {"10000.00", "3", "2.500", "0.100", "-45.000", "0.250", "PASS"}});

    auto launch = passingLink();
    launch.insert(launch.begin() + 1, event(5.9f, 1, 'F').loss(-12.1f).total(0.30f).reflectance(-33.0f).attenuation(0.19f)); // the launch level again
    cases.push_back({"LaunchLevelIsNoEventLoss", launch, {"10000.00", "4", "2.500", "0.100", "-33.000", "0.250", "FAIL"}});

    auto shortFibre = passingLink();
    shortFibre[1].distance = 40.0f;
    shortFibre[2].distance = 99.0f; // under 100 m the launch and end zones outweigh the fibre
    // The verdict still judges the 25 dB/km the totals give, as it always has.
    cases.push_back({"ShortFibreHasNoAttenuation", shortFibre, {"99.00", "3", "2.500", "0.100", "-45.000", "", "FAIL"}});

    auto saturated = passingLink();
    saturated[2].typeDigit = 2; // a reflection that saturated the receiver is reflective
    saturated[2].reflectance = -14.2f;
    cases.push_back({"SaturatedEnd", saturated, {"10000.00", "3", "2.500", "0.100", "-14.200", "0.250", "FAIL"}});

    auto atZero = passingLink();
    atZero[2].distance = 0.0f;
    cases.push_back({"EndAtZeroHasNoAttenuation", atZero, {"0.00", "3", "2.500", "0.100", "-45.000", "", "PASS"}});

    auto notANumber = passingLink();
    notANumber[2].distance = std::numeric_limits<float>::quiet_NaN(); // a file with group index 0
    cases.push_back({"DistanceNotANumber", notANumber, {"", "3", "2.500", "0.100", "-45.000", "", "PASS"}});

    auto gainer = passingLink();
    gainer[0] = event(0.0f, 0, 'F').loss(-0.2f).attenuation(0.19f);
    gainer[1].loss = -0.0004f; // rounds to zero from below
    cases.push_back({"NoMinusZero", gainer, {"10000.00", "3", "2.500", "0.000", "-45.000", "0.250", "PASS"}});

    cases.push_back({"OnlyTheEnd", {event(0.0f, 1, 'E').reflectance(-14.0f).attenuation(0.19f)}, {"0.00", "1", "", "", "-14.000", "", "FAIL"}});
    cases.push_back({"NoEvents", {}, {"", "0", "", "", "", "", ""}});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Traces, SummaryColumns, testing::ValuesIn(summaryCases()),
                         [](const testing::TestParamInfo<SummaryCase> &info) { return std::string(info.param.name); });

TEST(LinkSummary, ThresholdsDecideTheVerdict)
{
    auto events = passingLink();
    events[1].loss = 0.45f;
    PassThresholds loose;
    loose.NonReflection = 0.5f;
    EXPECT_EQ(summarizeTrace("f", trace1550(events), loose).verdict, VerdictPass);
    PassThresholds off;
    off.IncludeReflection = off.IncludeNonReflection = off.IncludeTotalLoss = off.IncludeReturnLoss = off.IncludeAvg = false;
    EXPECT_EQ(summaryCells(summarizeTrace("f", trace1550(events), off))[10], "") << "no rule gives no verdict";
}

TEST(LinkSummary, UnreadableFileHasOnlyItsNameAndStatus)
{
    const QStringList cells = summaryCells(unreadableSummary("gone.sor"));
    ASSERT_EQ(cells.size(), 12);
    EXPECT_EQ(cells[0], "gone.sor");
    EXPECT_EQ(cells[1], "unreadable");
    for (int i = 2; i < 12; ++i)
        EXPECT_TRUE(cells[i].isEmpty()) << i;
}

TEST(LinkSummary, FilesAreReadAsTheOpenCommandReadsThem)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    gen::Options o;
    o.events = {{gen::EventKind::Splice, 3000.0, 0.1, 0.0}, {gen::EventKind::End, 6000.0, 0.0, -45.0}};
    o.pointCount = 4000;
    gen::Trace t = gen::generate(o);
    t.record.events[0].comment = "0.70";
    t.record.events[1].comment = "1.30";
    const QString good = dir.filePath("good.sor");
    ASSERT_EQ(gen::writeFile(good, t, o), 1);

    // The same file without its trace: the open command refuses such a file.
    t.record.traces.clear();
    const QString empty = dir.filePath("no-trace.sor");
    CSorFileBase writer;
    ASSERT_EQ(writer.SaveFile(empty, t.record), 1);
    SorRecord check;
    ASSERT_EQ(CSorFileBase().ReadFile(empty, check), 1);
    ASSERT_TRUE(check.traces.empty());

    CSorFileBase sor;
    const LinkSummary first = summarizeFile(sor, good, nullptr, PassThresholds{});
    ASSERT_TRUE(first.readable);
    EXPECT_EQ(first.eventCount, 2);
    EXPECT_EQ(first.totalLossDb, 1.30f) << "from the event comments";
    EXPECT_NEAR(*first.lengthM, 6000.0f, 1.0f);
    EXPECT_FALSE(summarizeFile(sor, empty, nullptr, PassThresholds{}).readable);
    EXPECT_FALSE(summarizeFile(sor, dir.filePath("missing.sor"), nullptr, PassThresholds{}).readable);
    EXPECT_EQ(summarizeFile(sor, good, nullptr, PassThresholds{}).eventCount, 2) << "the reader is reusable";
}

TEST(SummaryCsv, HeaderAndQuotedPath)
{
    EXPECT_EQ(summaryCsvHeader(), "file,status,wavelength_nm,pulse_ns,length_m,events,total_loss_db,"
                                  "max_event_loss_db,worst_reflectance_db,attenuation_db_km,verdict,orl_db\r\n");
    EXPECT_EQ(summaryCsvRecord(unreadableSummary(R"(/data/a,"b".sor)")),
              "\"/data/a,\"\"b\"\".sor\",unreadable,,,,,,,,,,\r\n");
    EXPECT_EQ(summaryCsvRecord(summarizeTrace("Кабель 7.sor", trace1550(passingLink()), PassThresholds{})),
              QByteArray("Кабель 7.sor,ok,1550,100,10000.00,3,2.500,0.100,-45.000,0.250,PASS,\r\n"));
}

TEST(LinkSummary, OrlIsTheStoredOneAppendedAfterTheVerdict)
{
    TraceData t = trace1550(passingLink());
    t.orlDb = 30.715f;
    const LinkSummary s = summarizeTrace("f.sor", t, PassThresholds{});
    EXPECT_EQ(summaryColumns().indexOf("orl_db"), summaryColumns().indexOf("verdict") + 1);
    EXPECT_EQ(summaryCsvRecord(s), "f.sor,ok,1550,100,10000.00,3,2.500,0.100,-45.000,0.250,PASS,30.715\r\n");
    const QJsonObject o = QJsonDocument::fromJson(summaryJsonObject(s)).object();
    EXPECT_NEAR(o.value("orl_db").toDouble(), 30.715, 1e-9);
}

TEST(SummaryJson, NumbersAsNumbersAndEmptyCellsAsNull)
{
    const QString path = QString::fromUtf8("dir\\x \"q\"\n\t\x01 ü.sor");
    const QByteArray bytes = "[" + summaryJsonObject(summarizeTrace(path, trace1550(passingLink()), PassThresholds{}))
                             + "," + summaryJsonObject(unreadableSummary("")) + "]";
    QJsonParseError error;
    const QJsonArray rows = QJsonDocument::fromJson(bytes, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << bytes.toStdString();
    ASSERT_EQ(rows.size(), 2);

    const QJsonObject ok = rows[0].toObject();
    EXPECT_EQ(ok.keys().size(), 12);
    EXPECT_EQ(ok.value("file").toString(), path);
    EXPECT_EQ(ok.value("status").toString(), "ok");
    EXPECT_TRUE(ok.value("wavelength_nm").isDouble());
    EXPECT_EQ(ok.value("wavelength_nm").toInt(), 1550);
    EXPECT_EQ(ok.value("events").toInt(), 3);
    EXPECT_DOUBLE_EQ(ok.value("length_m").toDouble(), 10000.0);
    EXPECT_DOUBLE_EQ(ok.value("worst_reflectance_db").toDouble(), -45.0);
    EXPECT_DOUBLE_EQ(ok.value("attenuation_db_km").toDouble(), 0.25);
    EXPECT_EQ(ok.value("verdict").toString(), "PASS");
    EXPECT_TRUE(ok.value("orl_db").isNull()) << "no ORL stored";

    const QJsonObject bad = rows[1].toObject();
    EXPECT_EQ(bad.value("file").toString(""), "") << "the file stays a text, even empty";
    EXPECT_TRUE(bad.value("file").isString());
    EXPECT_EQ(bad.value("status").toString(), "unreadable");
    for (const char *key : {"wavelength_nm", "pulse_ns", "length_m", "events", "total_loss_db", "max_event_loss_db",
                            "worst_reflectance_db", "attenuation_db_km", "verdict", "orl_db"})
        EXPECT_TRUE(bad.value(key).isNull()) << key;
}

TEST(SummaryCsv, DotDecimalsUnderACommaLocale)
{
    CommaDecimalLocale comma;
    if (!comma.active())
        GTEST_SKIP() << "no comma-decimal locale on this machine";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5") << "the locale is in force";
    EXPECT_EQ(summaryCsvRecord(summarizeTrace("f.sor", trace1550(passingLink()), PassThresholds{})),
              "f.sor,ok,1550,100,10000.00,3,2.500,0.100,-45.000,0.250,PASS,\r\n");
    const QJsonObject o = QJsonDocument::fromJson(
                              summaryJsonObject(summarizeTrace("f.sor", trace1550(passingLink()), PassThresholds{})))
                              .object();
    EXPECT_DOUBLE_EQ(o.value("total_loss_db").toDouble(), 2.5);
}

TEST(TableExport, CsvFieldsQuoteOnlyWhatNeedsIt)
{
    struct Case {
        const char *in;
        const char *out;
    } cases[] = {
        {"plain.sor", "plain.sor"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {" padded", "\" padded\""},
        {"", ""},
        {"Ström-7", "Ström-7"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(tableexport::csvField(QString::fromUtf8(c.in)), QByteArray(c.out)) << c.in;
    EXPECT_EQ(tableexport::csvRecord({"a", "", "b,c"}), "a,,\"b,c\"\r\n");
}

TEST(TableExport, JsonStringsEscapeQuotesBackslashesAndControls)
{
    EXPECT_EQ(tableexport::jsonString(QString::fromUtf8("a\"b\\c\nd\te\x01\x7f ü")),
              QByteArray("\"a\\\"b\\\\c\\nd\\te\\u0001\\u007f ü\""));
}

} // namespace
