// sortool summary and sortool events, run as the executable they are, on generated traces.

#include "testsupport/CommaDecimalLocale.h"
#include "tools/gen/GeneratedFile.h"
#include "testsupport/CsvRecords.h"
#include "testsupport/SortoolRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

using testsupport::ToolRun;

ToolRun run(const QStringList &args, const QString &locale = QString())
{
    return locale.isEmpty() ? testsupport::runSortool(args)
                            : testsupport::runSortool(args, testsupport::environmentWith(QStringLiteral("LC_ALL"), locale));
}

using testsupport::parseCsv;

// Fixes the cumulative losses through the event comments, so no event library decides them.
void writeTrace(const QString &path, gen::Options o, const std::vector<const char *> &totals)
{
    gen::Trace t = gen::generate(o);
    ASSERT_EQ(t.record.events.size(), totals.size());
    for (size_t i = 0; i < totals.size(); ++i)
        t.record.events[i].comment = totals[i];
    ASSERT_EQ(gen::writeFile(path, t, o), 1);
}

gen::Options link10km()
{
    gen::Options o;
    o.wavelengthNm = 1550;
    o.pulseWidthNs = 100;
    o.pointCount = 8000;
    o.events = {{gen::EventKind::Splice, 4000.0, 0.10, 0.0}, {gen::EventKind::End, 10000.0, 0.0, -45.0}};
    return o;
}

class SummaryCommand : public testing::Test {
protected:
    QTemporaryDir dir;
    QString passing, failing, unreadable, quotedName, config;

    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(testsupport::sortoolPath())) << testsupport::sortoolPath().toStdString();
        passing = dir.filePath("pass.sor");
        writeTrace(passing, link10km(), {"1.20", "2.50"});

        gen::Options o = link10km();
        o.events.insert(o.events.begin() + 1, {gen::EventKind::Connector, 6000.0, 0.60, -50.0});
        failing = dir.filePath("fail.sor");
        writeTrace(failing, o, {"1.20", "1.90", "2.40"});

        unreadable = dir.filePath("garbage.sor");
        QFile g(unreadable);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write("Map\0 not a trace", 16);
        g.close();

        quotedName = dir.filePath(R"(site 4,"east".sor)");
        ASSERT_TRUE(QFile::copy(passing, quotedName));

        config = dir.filePath("Config.ini");
        QFile c(config);
        ASSERT_TRUE(c.open(QIODevice::WriteOnly));
        c.write("[PassThrd]\r\nReflection=0.70\r\n");
    }
};

TEST_F(SummaryCommand, CsvRowPerFileInTheOrderGiven)
{
    const ToolRun r = run({"summary", failing, unreadable, passing, quotedName});
    EXPECT_EQ(r.exitCode, 1) << "one file was not read";
    EXPECT_TRUE(r.err.contains("garbage.sor")) << r.err.toStdString();
    const auto rows = parseCsv(r.out);
    ASSERT_EQ(rows.size(), 5u) << r.out.toStdString();
    EXPECT_EQ(rows[0].join(','), "file,status,wavelength_nm,pulse_ns,length_m,events,total_loss_db,max_event_loss_db,"
                                 "worst_reflectance_db,attenuation_db_km,verdict,orl_db");

    const QStringList &fail = rows[1];
    ASSERT_EQ(fail.size(), 12);
    EXPECT_EQ(fail[0], failing);
    EXPECT_EQ(fail.mid(1, 2), (QStringList{"ok", "1550"}));
    EXPECT_EQ(fail[3], "100");
    EXPECT_NEAR(fail[4].toDouble(), 10000.0, 1.0) << "the end snapped to a sample";
    EXPECT_EQ(fail[4].section('.', 1).size(), 2) << fail[4].toStdString();
    EXPECT_EQ(fail.mid(5, 4), (QStringList{"3", "2.400", "0.600", "-45.000"}));
    EXPECT_EQ(fail[10], "FAIL") << "the connector's 0.6 dB is over the 0.5 dB limit";

    EXPECT_EQ(rows[2], (QStringList{unreadable, "unreadable", "", "", "", "", "", "", "", "", "", ""}));

    const QStringList &pass = rows[3];
    EXPECT_EQ(pass.mid(5, 4), (QStringList{"2", "2.500", "0.100", "-45.000"}));
    EXPECT_NEAR(pass[9].toDouble(), 0.25, 0.0005);
    EXPECT_EQ(pass[10], "PASS");
    EXPECT_EQ(pass[11], "") << "the generator stores no ORL";

    EXPECT_EQ(rows[4][0], quotedName) << "a path with a comma and quotes survives";
    EXPECT_EQ(rows[4].mid(1), pass.mid(1));
    EXPECT_TRUE(r.out.contains(R"(/site 4,""east"".sor",ok,)")) << r.out.toStdString();
}

TEST_F(SummaryCommand, ConfigurationGivesTheThresholds)
{
    const ToolRun r = run({"summary", "--config", config, failing});
    EXPECT_EQ(r.exitCode, 0);
    const auto rows = parseCsv(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][10], "PASS") << "0.6 dB is within the configured 0.7 dB";
}

TEST_F(SummaryCommand, JsonArrayWithNumbersAndNulls)
{
    const ToolRun r = run({"summary", "--json", passing, unreadable});
    EXPECT_EQ(r.exitCode, 1);
    QJsonParseError error;
    const QJsonArray rows = QJsonDocument::fromJson(r.out, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    ASSERT_EQ(rows.size(), 2);
    const QJsonObject pass = rows[0].toObject();
    EXPECT_EQ(pass.value("file").toString(), passing);
    EXPECT_EQ(pass.value("wavelength_nm").toInt(), 1550);
    EXPECT_TRUE(pass.value("length_m").isDouble());
    EXPECT_DOUBLE_EQ(pass.value("total_loss_db").toDouble(), 2.5);
    EXPECT_EQ(pass.value("verdict").toString(), "PASS");
    const QJsonObject bad = rows[1].toObject();
    EXPECT_EQ(bad.value("status").toString(), "unreadable");
    EXPECT_TRUE(bad.value("length_m").isNull());
    EXPECT_TRUE(bad.value("verdict").isNull());

    EXPECT_EQ(run({"summary", "--json", passing}).exitCode, 0);
}

TEST_F(SummaryCommand, EventsCsvListsEachFilesEvents)
{
    const ToolRun r = run({"events", "--csv", failing, unreadable, quotedName});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("garbage.sor"));
    const auto rows = parseCsv(r.out);
    ASSERT_EQ(rows.size(), 1u + 2u + 1u) << "the header, the failing file's events after the first, one of the other";
    EXPECT_EQ(rows[0].join(','), "file,event,type,code,distance_km,segment_km,loss_db,total_loss_db,slope_db_km,reflectance_db");
    const QStringList &connector = rows[1];
    EXPECT_EQ(connector.mid(0, 4), (QStringList{failing, "1", "Reflect", "F"}));
    EXPECT_NEAR(connector[4].toDouble(), 6.0, 0.001);
    EXPECT_EQ(connector[4].section('.', 1).size(), 3);
    EXPECT_EQ(connector.mid(6), (QStringList{"0.600", "1.900", "0.190", "-50.000"}));
    const QStringList &end = rows[2];
    EXPECT_EQ(end.mid(1, 3), (QStringList{"2", "Reflect", "E"}));
    EXPECT_EQ(end[6], "") << "the list shows -- for the last event's loss";
    EXPECT_EQ(rows[3][0], quotedName);
}

TEST_F(SummaryCommand, DotDecimalsWhateverTheLocale)
{
    CommaDecimalLocale comma; // makes de_DE.UTF-8 available to the tool where it is not installed
    if (!comma.active())
        GTEST_SKIP() << "no comma-decimal locale on this machine";
    const QString de = QStringLiteral("de_DE.UTF-8");
    const auto summary = parseCsv(run({"summary", passing}, de).out);
    ASSERT_EQ(summary.size(), 2u);
    EXPECT_EQ(summary[1][6], "2.500");
    EXPECT_EQ(summary[1][9].size(), 5) << summary[1][9].toStdString();
    const auto events = parseCsv(run({"events", "--csv", passing}, de).out);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1][7], "2.500");
    EXPECT_TRUE(events[1][4].contains('.'));
}

TEST_F(SummaryCommand, BadUsageSaysWhyAndExitsWith2)
{
    struct Case {
        const char *name;
        QStringList args;
        const char *says;
    } cases[] = {
        {"no files", {"summary"}, "no files"},
        {"unknown option", {"summary", "--csv", "x.sor"}, "unknown option"},
        {"config without file", {"summary", "x.sor", "--config"}, "--config needs a file"},
        {"missing config", {"summary", "--config", "/no/such/Config.ini", "x.sor"}, "cannot read the configuration"},
        {"events without --csv", {"events", "x.sor"}, "--csv"},
        {"events without files", {"events", "--csv"}, "no files"},
    };
    for (const Case &c : cases) {
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.name;
        EXPECT_TRUE(r.err.contains(c.says)) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << c.name;
    }
}

} // namespace
