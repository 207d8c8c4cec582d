// sortool report with --summary and with a power-meter file, run as the executable it is.

#include "testsupport/BinFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString sample(const char *name) { return testsupport::sampleFile(QLatin1String(name)); }

struct ToolRun {
    int status = -1;
    QString err;
};

ToolRun report(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the command picks the offscreen platform itself
    p.setProcessEnvironment(env);
    p.start(testsupport::binFile(QStringLiteral("sortool")), QStringList{QStringLiteral("report")} + args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError())};
}

// The text of one page (from 1), or of the whole file for page 0.
QString pdfText(const QString &pdf, int page = 0)
{
    QStringList args;
    if (page > 0)
        args << "-layout" << "-f" << QString::number(page) << "-l" << QString::number(page);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args << pdf << "-");
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &pdf)
{
    return static_cast<int>(pdfText(pdf).count(QLatin1Char('\f')));
}

class SortoolReportExtras : public testing::Test {
protected:
    QTemporaryDir dir;
    QString out;
    QString loose; // thresholds under which the 2 km patch and the 40 km link pass

    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(testsupport::binFile(QStringLiteral("sortool"))));
        out = dir.filePath("r.pdf");
        loose = write("loose.ini", "[PassThrd]\r\nAvgLoss1310=1.0\r\nReturnLoss=-10\r\nNonReflection=1\r\nReflection=1\r\n");
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    // A power-meter file of `records` records, fibres F01, F02, ...
    QString meterFile(const QString &name, int records)
    {
        QByteArray bytes;
        for (int i = 1; i <= records; ++i)
            bytes += QStringLiteral("FiberId=F%1,CableId=C-9,Date=2026-03-02,Time=09:%2:00,Value=-3.%3 dBm,Operator=Ana;\r\n")
                         .arg(i, 2, 10, QLatin1Char('0'))
                         .arg(i % 60, 2, 10, QLatin1Char('0'))
                         .arg(i, 2, 10, QLatin1Char('0'))
                         .toLatin1();
        return write(name, bytes);
    }
};

TEST_F(SortoolReportExtras, SummaryPageComesFirstWithARowForEveryFile)
{
    const QString broken = write("broken.sor", "not a trace file");
    const QStringList files{sample("link-40km-1550.sor"), sample("long-120km-1550.sor"), broken,
                            dir.filePath("missing.sor"), sample("patch-2km-1310.sor")};
    ToolRun r = report(QStringList{"--summary", "--config", loose, "--out", out} + files);
    EXPECT_EQ(r.status, 1) << "two files could not be read";
    EXPECT_TRUE(r.err.contains("broken.sor"));
    EXPECT_TRUE(r.err.contains("missing.sor"));
    EXPECT_EQ(pdfPages(out), 1 + 5);

    const QString summary = pdfText(out, 1);
    EXPECT_TRUE(summary.contains("Link summary"));
    EXPECT_FALSE(summary.contains("OTDR test report"));
    qsizetype at = -1;
    for (const char *name : {"link-40km-1550.sor", "long-120km-1550.sor", "broken.sor", "missing.sor", "patch-2km-1310.sor"}) {
        const qsizetype next = summary.indexOf(QLatin1String(name));
        EXPECT_GT(next, at) << name << " in the order given";
        at = next;
    }
    EXPECT_EQ(summary.count("PASS"), 2) << summary.toStdString();
    EXPECT_EQ(summary.count("FAIL"), 1) << "23.7 dB total loss is over 20 dB";
    EXPECT_EQ(summary.count("Unreadable"), 2);
    EXPECT_TRUE(summary.contains("120000.01"));

    const QString firstReport = pdfText(out, 2);
    EXPECT_TRUE(firstReport.contains("OTDR test report"));
    EXPECT_TRUE(firstReport.contains("link-40km-1550.sor"));
    EXPECT_TRUE(pdfText(out, 6).contains("patch-2km-1310.sor"));

    // With four a page: the summary, then two pages of cells.
    r = report(QStringList{"--summary", "--per-page", "4", "--out", out} + files);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(pdfPages(out), 1 + 2);
    EXPECT_TRUE(pdfText(out, 1).contains("Link summary"));
    EXPECT_EQ(pdfText(out, 2).count("OTDR test report"), 2);
}

TEST_F(SortoolReportExtras, PowerMeterFilePrintsItsTableThirtyRowsAPage)
{
    const QString meter = meterFile("meter.OPM", 31);
    ToolRun r = report({"--out", out, meter});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(out), 2);
    const QString first = pdfText(out, 1);
    EXPECT_TRUE(first.contains("Power Meter Report"));
    EXPECT_TRUE(first.contains("F01"));
    EXPECT_TRUE(first.contains("F30"));
    EXPECT_FALSE(first.contains("F31"));
    EXPECT_FALSE(first.contains("OTDR test report"));
    const QString second = pdfText(out, 2);
    EXPECT_TRUE(second.contains("F31"));
    EXPECT_TRUE(second.contains("-3.31 dBm"));

    r = report({"--out", out, sample("link-12fibres.opm")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(out), 1);
    EXPECT_TRUE(pdfText(out, 1).contains("C-0417"));
}

// What the viewer shows of a damaged file prints; only a file that cannot be read fails.
TEST_F(SortoolReportExtras, DamagedOrUnreadablePowerMeterFiles)
{
    const QString cut = write("cut.opm", "FiberId=A1,CableId=C,Date=d,Time=t,Value=-1.5,Operator=o;"
                                         "FiberId=A2,CableId=C;");
    ToolRun r = report({"--out", out, cut});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.contains("malformed")) << r.err.toStdString();
    EXPECT_TRUE(pdfText(out, 1).contains("A1"));

    r = report({"--out", out, dir.filePath("missing.opm")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("cannot read")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("missing.opm"));
    EXPECT_EQ(pdfPages(out), 1) << "the PDF is written either way";
    EXPECT_TRUE(pdfText(out, 1).contains("Power Meter Report"));
    EXPECT_FALSE(pdfText(out, 1).contains("A1")) << "nothing of the earlier run stays";
}

TEST_F(SortoolReportExtras, PowerMeterFilePrintsAloneWithoutTraceOptions)
{
    const QString meter = meterFile("m.opm", 3);
    const QString other = meterFile("n.opm", 3);
    const QString sor = sample("link-40km-1550.sor");
    const struct {
        const char *name;
        QStringList args;
        const char *says;
    } cases[] = {
        {"opm then sor", {meter, sor}, "prints alone"},
        {"sor then opm", {sor, meter}, "prints alone"},
        {"two opm", {meter, other}, "prints alone"},
        {"summary", {"--summary", meter}, "--summary"},
        {"per page", {"--per-page", "2", meter}, "--per-page"},
    };
    for (const auto &c : cases) {
        const ToolRun r = report(QStringList{"--out", out} + c.args);
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_TRUE(r.err.contains(c.says)) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("usage:")) << c.name;
        EXPECT_FALSE(QFile::exists(out)) << c.name;
    }
    EXPECT_EQ(report({"--summery", "--out", out, sor}).status, 2);
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
