// sortool opm, run as the executable it is.

#include "testsupport/SortoolRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using testsupport::ToolRun;

ToolRun run(const QStringList &args) { return testsupport::runSortool(args); }

QJsonArray parsedArray(const ToolRun &r)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_TRUE(doc.isArray()) << r.out.toStdString();
    return doc.array();
}

class SortoolOpm : public testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override { ASSERT_TRUE(QFile::exists(testsupport::sortoolPath())) << testsupport::sortoolPath().toStdString(); }

    QString write(const char *name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};

TEST_F(SortoolOpm, RecordsAsJsonObjects)
{
    const QString path = write("meter.OPM",
                               "FiberId=01,CableId=C7,Date=2026-03-02,Time=09:15:10,Value=-3.42 dBm,Operator=Ana;\r\n"
                               "FiberId=02,CableId=C7,Date=2026-03-02,Time=09:15:40,Value=\"-3.5\\\",Operator=Jos\xE9\t;\r\n");
    const ToolRun r = run({"opm", path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray records = parsedArray(r);
    ASSERT_EQ(records.size(), 2);
    const QJsonObject first = records[0].toObject();
    EXPECT_EQ(first.keys(), QStringList({"cableId", "date", "fiberId", "operator", "time", "value"}));
    // Keys come in the order of the file's fields.
    EXPECT_TRUE(r.out.contains(R"({"fiberId": "01", "cableId": "C7", "date": "2026-03-02", "time": "09:15:10", )"
                               R"("value": "-3.42 dBm", "operator": "Ana"})"))
        << r.out.toStdString();
    EXPECT_EQ(first.value("fiberId").toString(), "01");
    EXPECT_EQ(first.value("cableId").toString(), "C7");
    EXPECT_EQ(first.value("date").toString(), "2026-03-02");
    EXPECT_EQ(first.value("time").toString(), "09:15:10");
    EXPECT_EQ(first.value("value").toString(), "-3.42 dBm");
    EXPECT_EQ(first.value("operator").toString(), "Ana");
    // Quotes, backslashes and tabs in a text are escaped; 8-bit text comes out as its characters.
    EXPECT_EQ(records[1].toObject().value("value").toString(), "\"-3.5\\\"");
    EXPECT_EQ(records[1].toObject().value("operator").toString(), QString::fromUtf8("José\t"));
}

// Files the viewer shows as an empty table print an empty array and succeed; a malformed record
// keeps the records before it and says where reading stopped.
TEST_F(SortoolOpm, FilesThatShowLittleOrNothing)
{
    const QByteArray good = "FiberId=1,CableId=C,Date=d,Time=t,Value=v,Operator=o;";
    const struct {
        const char *name;
        QByteArray bytes;
        int records;
        bool notes;
    } cases[] = {
        {"empty.opm", {}, 0, false},
        {"no-record.opm", "nothing here", 0, false},
        {"first-malformed.opm", "FiberId=1;" + good, 0, true},
        {"second-malformed.opm", good + "FiberId=2,CableId=C;", 1, true},
    };
    for (const auto &c : cases) {
        const ToolRun r = run({"opm", write(c.name, c.bytes)});
        EXPECT_EQ(r.exitCode, 0) << c.name;
        EXPECT_EQ(parsedArray(r).size(), c.records) << c.name;
        EXPECT_EQ(!r.err.isEmpty(), c.notes) << c.name << ": " << r.err.toStdString();
    }
}

TEST_F(SortoolOpm, MissingFileIsAnError)
{
    const ToolRun r = run({"opm", dir.filePath("missing.opm")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("cannot read")) << r.err.toStdString();
}

TEST_F(SortoolOpm, BadUsage)
{
    const QString path = write("a.opm", "FiberId=1,CableId=C,Date=d,Time=t,Value=v,Operator=o;");
    for (const QStringList &args : {QStringList{"opm"}, QStringList{"opm", path, path}, QStringList{"opm", "--json"}}) {
        const ToolRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains("usage: sortool opm FILE.opm")) << r.err.toStdString();
    }
}

// The command word itself: help on standard output, anything else refused with the usage.
TEST(SortoolCommandWord, HelpAndUnknownCommands)
{
    struct Case {
        QStringList args;
        int exitCode;
        bool usageOnStdout;
        const char *errorText;
    } cases[] = {
        {{QStringLiteral("--help")}, 0, true, ""},
        {{QStringLiteral("-h")}, 0, true, ""},
        {{QStringLiteral("help")}, 0, true, ""},
        {{}, 2, false, "usage: sortool"},
        {{QStringLiteral("repot")}, 2, false, "unknown command 'repot'"},
    };
    for (const Case &c : cases) {
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.out.contains("sortool report"), c.usageOnStdout) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.errorText)) << r.err.toStdString();
    }
}

} // namespace
