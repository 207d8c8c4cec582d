// What written PDF files say of themselves: title, creator and author.

#include "print/PdfMetadata.h"
#include "print/PrintJob.h"
#include "trace/TraceSet.h"
#include "testsupport/BinFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

void ensureApp()
{
    static int argc = 1;
    static char name[] = "print_tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
}

ReportLabels labels()
{
    ReportLabels l;
    l.pdfTraceReport = QStringLiteral("Trace report");
    l.pdfSummary = QStringLiteral("Summary");
    l.pdfPowerMeterReport = QStringLiteral("Power-meter report");
    l.pair.bidirTitle = QStringLiteral("Bidirectional OTDR report");
    return l;
}

std::unique_ptr<TraceSlot> slotOf(const QString &path, const QString &op)
{
    auto s = std::make_unique<TraceSlot>();
    s->loaded = 1;
    s->filePath = path;
    s->fileName = QFileInfo(path).fileName();
    s->trace->operatorName = op;
    return s;
}

// pdfinfo's answer for a file, "Key: value" per line.
QString pdfInfo(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
}

} // namespace

TEST(PdfMetadata, TitleNamesTheReportAndWhatItPrints)
{
    const auto a = slotOf(QStringLiteral("/data/route 7/a.sor"), QStringLiteral(""));
    const auto b = slotOf(QStringLiteral("/data/route 7/b.sor"), QStringLiteral("  Ann  "));
    // Batch preparation keeps the folder in filePath, the name beside it.
    auto batch = slotOf(QStringLiteral("/data/route 9"), QStringLiteral("Bo"));
    batch->fileName = QStringLiteral("c.sor");

    PrintJob one = batchPrintJob(QStringLiteral("0"), {a.get()});
    PrintJob two = batchPrintJob(QStringLiteral("1"), {a.get(), b.get()});
    PrintJob prepared = batchPrintJob(QStringLiteral("1"), {batch.get(), a.get()});
    PrintJob summary = two;
    summary.summaryRows.resize(2);
    const PrintJob meter = powerMeterPrintJob({}, QStringLiteral("/x/link.opm"));
    PrintJob pairs;
    pairs.pairPages.push_back({PairPageKind::Bidirectional, b.get(), a.get()});
    struct Case {
        const char *name;
        const PrintJob &job;
        const char *title;
        const char *author;
    } cases[] = {
        {"one trace", one, "Trace report - a.sor", ""},
        {"two traces", two, "Trace report - route 7", "Ann"},
        {"prepared slots", prepared, "Trace report - route 9", "Bo"},
        {"summary", summary, "Summary - route 7", "Ann"},
        {"power meter", meter, "Power-meter report - link.opm", ""},
        {"bidirectional pair", pairs, "Bidirectional OTDR report - route 7", "Ann"},
    };
    for (const Case &c : cases) {
        const PdfMetadata m = reportPdfMetadata(c.job, labels());
        EXPECT_EQ(m.title, QString::fromUtf8(c.title)) << c.name;
        EXPECT_EQ(m.author, QString::fromUtf8(c.author)) << c.name;
        EXPECT_EQ(m.creator, QStringLiteral("Lumidor")) << c.name;
    }
    EXPECT_EQ(reportPdfMetadata(one, ReportLabels{}).title, QStringLiteral("a.sor")) << "without the text library";
}

// The author goes into the information dictionary with every offset still right, so readers
// take the file as before.
TEST(PdfMetadata, AuthorIsAddedWithoutBreakingTheFile)
{
    ensureApp();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.pdf"));
    {
        QPdfWriter writer(path);
        writer.setTitle(QStringLiteral("Trace report - a.sor"));
        writer.setCreator(QStringLiteral("Lumidor"));
        QPainter p(&writer);
        p.drawText(100, 100, QStringLiteral("first page"));
        writer.newPage();
        p.drawText(100, 100, QStringLiteral("second page"));
    }
    ASSERT_TRUE(addPdfAuthorToFile(path, QStringLiteral("Zoë (night shift)")));
    const QString info = pdfInfo(path);
    EXPECT_TRUE(info.contains(QStringLiteral("Author:          Zoë (night shift)"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Title:           Trace report - a.sor"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           2"))) << info.toStdString();
    EXPECT_FALSE(info.contains(QStringLiteral("Error"))) << info.toStdString();

    // Every cross-reference entry in use points at its object.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    const qsizetype xref = pdf.lastIndexOf("\nxref\n") + 1;
    const QList<QByteArray> lines = pdf.mid(xref).split('\n');
    const int count = lines.value(1).split(' ').value(1).toInt();
    ASSERT_GT(count, 2);
    for (int k = 1; k < count; ++k) {
        const QByteArray entry = lines.value(k + 2);
        const qsizetype offset = entry.left(10).toLongLong();
        EXPECT_TRUE(pdf.mid(offset).startsWith(QByteArray::number(k) + " 0 obj")) << k;
    }
    EXPECT_EQ(pdf.mid(pdf.lastIndexOf("startxref") + 10).split('\n').value(0).toLongLong(), xref);

    QByteArray notPdf("not a pdf");
    EXPECT_FALSE(addPdfAuthor(notPdf, QStringLiteral("X")));
    EXPECT_EQ(notPdf, "not a pdf");
}

TEST(PdfMetadata, SortoolReportCarriesThem)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("r.pdf"));
    QProcess p;
    p.start(testsupport::binFile(QStringLiteral("sortool")),
            {QStringLiteral("report"), QStringLiteral("--out"), out, testsupport::sampleFile(QStringLiteral("patch-2km-1310.sor"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString info = pdfInfo(out);
    EXPECT_TRUE(info.contains(QStringLiteral("Title:           Trace report - patch-2km-1310.sor"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Creator:         Lumidor"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Author:          Test Operator"))) << info.toStdString();
}
