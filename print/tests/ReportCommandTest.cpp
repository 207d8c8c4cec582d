#include "testsupport/BinFolder.h"

#include <QDir>
#include <QStringList>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString sample(const char *name) { return testsupport::sampleFile(QLatin1String(name)); }

struct ToolRun {
    int status = -1;
    QString err;
};

ToolRun sortool(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the command picks the offscreen platform itself
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(testsupport::binFile(QStringLiteral("sortool")), QStringList{QStringLiteral("report")} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError())};
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &pdf)
{
    return pdfText(pdf).count(QLatin1Char('\f'));
}

TEST(SortoolReport, PagesFollowPerPageAndFileOrder)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("r.pdf");
    const QStringList files{sample("patch-2km-1310.sor"), sample("link-40km-1550.sor"), sample("long-120km-1550.sor")};
    ToolRun r = sortool(QStringList{"--out", out} + files);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(out), 3);
    const QString text = pdfText(out);
    EXPECT_LT(text.indexOf("patch-2km-1310.sor"), text.indexOf("link-40km-1550.sor"));
    EXPECT_LT(text.indexOf("link-40km-1550.sor"), text.indexOf("long-120km-1550.sor"));

    r = sortool(QStringList{"--per-page", "2", "--out", out} + files);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(pdfPages(out), 2);
}

TEST(SortoolReport, UnreadableFileLeavesAnEmptyCellAndStatusOne)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("r.pdf");
    QFile bad(dir.filePath("broken.sor"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a trace file");
    bad.close();
    const ToolRun r = sortool({"--per-page", "4", "--out", out, sample("link-40km-1550.sor"), bad.fileName(),
                           dir.filePath("missing.sor"), sample("patch-2km-1310.sor")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("broken.sor"));
    EXPECT_TRUE(r.err.contains("missing.sor"));
    const QString text = pdfText(out);
    EXPECT_EQ(text.count("OTDR test report"), 2);
    EXPECT_TRUE(text.contains("patch-2km-1310.sor"));
}

TEST(SortoolReport, RefusesBadArguments)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("r.pdf");
    for (const char *perPage : {"3", "0", "16", "x"}) {
        const ToolRun r = sortool({"--per-page", perPage, "--out", out, sample("link-40km-1550.sor")});
        EXPECT_EQ(r.status, 2) << perPage;
        EXPECT_TRUE(r.err.contains("--per-page")) << perPage;
    }
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(sortool({sample("link-40km-1550.sor")}).status, 2); // no --out
    EXPECT_EQ(sortool({"--out", out}).status, 2);                 // no files
}

TEST(SortoolReport, ConfigFileChoosesTheSections)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("my.ini");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[PrintSetting]\r\nSelectEvent=0\r\nSelfDefine=1\r\nWavelength=9999\r\n");
    f.close();
    const QString out = dir.filePath("r.pdf");
    const ToolRun r = sortool({"--config", ini, "--out", out, sample("link-40km-1550.sor")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QString text = pdfText(out);
    EXPECT_TRUE(text.contains("9999nm"));
    EXPECT_FALSE(text.contains("Event No."));
}

} // namespace
