// sortool analyze, measure and resave --analyze, run as the executable they are, on generated
// traces with known events.

#include "tools/gen/GeneratedFile.h"
#include "testsupport/SortoolRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using testsupport::ToolRun;

ToolRun run(const QStringList &args) { return testsupport::runSortool(args); }

QList<QByteArray> lines(const QByteArray &out)
{
    QList<QByteArray> l = out.split('\n');
    while (!l.isEmpty() && l.back().trimmed().isEmpty())
        l.pop_back();
    for (QByteArray &line : l)
        line = line.trimmed();
    return l;
}

// The distance column (km) of each data row of an event CSV.
std::vector<double> distancesKm(const QByteArray &csv)
{
    std::vector<double> out;
    const QList<QByteArray> rows = lines(csv);
    for (qsizetype i = 1; i < rows.size(); ++i)
        out.push_back(rows[i].split(',').value(4).toDouble());
    return out;
}

class AnalyzeCommand : public testing::Test {
protected:
    QTemporaryDir dir;
    QString withEvents;    // 10 km: a 0.3 dB splice at 4 km, a connector at 7 km, the end
    QString withoutEvents; // the same trace, no events stored

    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(testsupport::sortoolPath())) << testsupport::sortoolPath().toStdString();
        gen::Options o;
        o.pointCount = 16000;
        o.wavelengthNm = 1550;
        o.pulseWidthNs = 100;
        o.events = {{gen::EventKind::Splice, 4000.0, 0.30, 0.0},
                    {gen::EventKind::Connector, 7000.0, 0.50, -45.0},
                    {gen::EventKind::End, 10000.0, 0.0, -40.0}};
        gen::Trace t = gen::generate(o);
        withEvents = dir.filePath(QStringLiteral("with.sor"));
        ASSERT_EQ(gen::writeFile(withEvents, t, o), 1);
        t.record.events.clear();
        withoutEvents = dir.filePath(QStringLiteral("without.sor"));
        ASSERT_EQ(gen::writeFile(withoutEvents, t, o), 1);
    }
};

TEST_F(AnalyzeCommand, ListsTheFoundEventsAsTheEventsCommandListsStoredOnes)
{
    const ToolRun stored = run({"events", "--csv", withEvents});
    const ToolRun found = run({"analyze", withEvents});
    ASSERT_EQ(found.exitCode, 0) << found.err.constData();
    EXPECT_TRUE(found.err.isEmpty());
    ASSERT_EQ(stored.exitCode, 0);
    EXPECT_EQ(lines(found.out).front(), lines(stored.out).front()) << "the same header";
    const std::vector<double> planned = {4.0, 7.0, 10.0};
    const std::vector<double> b = distancesKm(found.out);
    ASSERT_EQ(b.size(), planned.size()) << found.out.constData();
    for (size_t k = 0; k < planned.size(); ++k)
        EXPECT_NEAR(b[k], planned[k], 0.012) << "event " << k + 1;
    EXPECT_TRUE(lines(found.out).back().contains(",E,")) << "the fibre end comes last";

    // A larger loss threshold leaves the 0.3 dB splice out.
    const ToolRun strict = run({"analyze", "--loss-threshold", "0.4", "--reflectance-threshold", "-20", withEvents});
    ASSERT_EQ(strict.exitCode, 0) << strict.err.constData();
    const std::vector<double> kept = distancesKm(strict.out);
    ASSERT_EQ(kept.size(), 2u) << strict.out.constData();
    EXPECT_NEAR(kept[0], 7.0, 0.012) << "the 0.5 dB connector stays";
}

TEST_F(AnalyzeCommand, BadOptionsAndUnreadableFiles)
{
    struct Case {
        const char *name;
        QStringList args;
    } cases[] = {
        {"unknown option", {"analyze", "--bogus", withEvents}},
        {"threshold not a number", {"analyze", "--loss-threshold", "abc", withEvents}},
        {"zero loss threshold", {"analyze", "--loss-threshold", "0", withEvents}},
        {"negative end threshold", {"analyze", "--end-threshold", "-3", withEvents}},
        {"threshold without value", {"analyze", withEvents, "--end-threshold"}},
        {"no files", {"analyze"}},
    };
    for (const Case &c : cases) {
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.name;
        EXPECT_TRUE(r.out.isEmpty()) << c.name;
        EXPECT_TRUE(r.err.startsWith("sortool analyze: ")) << c.name << ": " << r.err.constData();
    }
    const QString missing = dir.filePath(QStringLiteral("missing.sor"));
    const ToolRun r = run({"analyze", missing, withEvents});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(lines(r.err).size(), 1) << r.err.constData();
    EXPECT_TRUE(r.err.contains("missing.sor"));
    EXPECT_EQ(distancesKm(r.out).size(), 3u) << "the readable file is still listed";
}

TEST_F(AnalyzeCommand, AFileWithoutEventsShowsTheAnalysedOnes)
{
    const ToolRun analysed = run({"analyze", withoutEvents});
    ASSERT_EQ(analysed.exitCode, 0);
    for (const QStringList &args : {QStringList{"events", "--csv", withoutEvents}}) {
        const ToolRun r = run(args);
        ASSERT_EQ(r.exitCode, 0);
        EXPECT_EQ(lines(r.out), lines(analysed.out)) << r.out.constData();
    }
    EXPECT_EQ(distancesKm(run({"events", "--csv", "--no-analysis", withoutEvents}).out).size(), 0u);

    const QJsonObject trace = QJsonDocument::fromJson(run({"dump", withoutEvents}).out).object().value("trace").toObject();
    EXPECT_EQ(trace.value("events").toArray().size(), 4) << "start, splice, connector, end";
    const QJsonObject bare =
        QJsonDocument::fromJson(run({"dump", "--no-analysis", withoutEvents}).out).object().value("trace").toObject();
    EXPECT_EQ(bare.value("events").toArray().size(), 0);

    const QList<QByteArray> summary = lines(run({"summary", withoutEvents}).out);
    ASSERT_EQ(summary.size(), 2);
    EXPECT_EQ(summary[1].split(',').value(5), "4") << "the summary counts the analysed events";
}

TEST_F(AnalyzeCommand, ResaveAnalyzeStoresTheFoundEvents)
{
    const QString out = dir.filePath(QStringLiteral("analysed.sor"));
    const ToolRun r = run({"resave", "--analyze", withoutEvents, out});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const ToolRun stored = run({"events", "--csv", "--no-analysis", out});
    const ToolRun found = run({"analyze", withoutEvents});
    const std::vector<double> a = distancesKm(stored.out);
    const std::vector<double> b = distancesKm(found.out);
    ASSERT_EQ(a.size(), 3u) << stored.out.constData();
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k)
        EXPECT_NEAR(a[k], b[k], 0.001) << "event " << k + 1;
    EXPECT_EQ(run({"resave", "--analyze", "--no-analysis", withoutEvents, out}).exitCode, 2);
}

class MeasureCommand : public AnalyzeCommand {};

TEST_F(MeasureCommand, PrintsOneObjectWithTheKeysInOrder)
{
    struct Case {
        const char *mode;
        const char *a;
        const char *b;
        double lossDb;
        double tolerance;
    } cases[] = {
        {"lsa", "1", "3.5", 2.5 * 0.19, 0.02},      // fibre only: its attenuation over 2.5 km
        {"splice", "3.9", "4.1", 0.30, 0.03},      // the splice between the cursors
        {"two-point", "1", "3.5", 2.5 * 0.19, 0.1}, // the levels under the cursors, with their noise
    };
    for (const Case &c : cases) {
        const ToolRun r = run({"measure", "--mode", c.mode, "--a", c.a, "--b", c.b, withEvents});
        ASSERT_EQ(r.exitCode, 0) << c.mode << ": " << r.err.constData();
        const QString text = QString::fromUtf8(r.out).trimmed();
        const QRegularExpression order(
            QStringLiteral("^\\{\"file\":.*,\"mode\":.*,\"a_km\":.*,\"b_km\":.*,\"loss_db\":.*,\"attenuation_db_km\":.*\\}$"));
        EXPECT_TRUE(order.match(text).hasMatch()) << text.toStdString();
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        EXPECT_EQ(o.value("file").toString(), withEvents);
        EXPECT_EQ(o.value("mode").toString(), QString::fromLatin1(c.mode));
        EXPECT_DOUBLE_EQ(o.value("a_km").toDouble(), QByteArray(c.a).toDouble());
        EXPECT_NEAR(o.value("loss_db").toDouble(), c.lossDb, c.tolerance) << c.mode;
    }
}

TEST_F(MeasureCommand, BadArgumentsAndUnreadableFiles)
{
    struct Case {
        const char *name;
        QStringList args;
        int exitCode;
    } cases[] = {
        {"unknown mode", {"measure", "--mode", "median", "--a", "1", "--b", "2", withEvents}, 2},
        {"no mode", {"measure", "--a", "1", "--b", "2", withEvents}, 2},
        {"cursor B missing", {"measure", "--mode", "lsa", "--a", "1", withEvents}, 2},
        {"cursor A not a number", {"measure", "--mode", "lsa", "--a", "one", "--b", "2", withEvents}, 2},
        {"cursor beyond the trace", {"measure", "--mode", "lsa", "--a", "1", "--b", "900", withEvents}, 2},
        {"cursor before the start", {"measure", "--mode", "splice", "--a", "-1", "--b", "2", withEvents}, 2},
        {"no file", {"measure", "--mode", "lsa", "--a", "1", "--b", "2"}, 2},
        {"unreadable file", {"measure", "--mode", "lsa", "--a", "1", "--b", "2", dir.filePath("none.sor")}, 1},
    };
    for (const Case &c : cases) {
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name;
        EXPECT_TRUE(r.out.isEmpty()) << c.name;
        EXPECT_TRUE(r.err.startsWith("sortool measure: ")) << c.name << ": " << r.err.constData();
    }
}

} // namespace
