#include "print/ReportRenderer.h"

#include "textres/TextResources.h"
#include "trace/TraceSet.h"
#include "trace/Verdict.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// One application for the whole test binary; the preview tests need widgets.
void app()
{
    static int argc = 1;
    static char name[] = "print_tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
}

ReportEnvironment environment()
{
    app();
    static const bool loaded = loadTextLibrary(QString::fromLocal8Bit(qgetenv("LUMIDOR_BIN_DIR")));
    EXPECT_TRUE(loaded);
    ReportEnvironment env;
    env.labels = loadReportLabels(loadText);
    env.fontTable = startupReportFontTable();
    env.settings.selfDefine = false;
    env.gridVisible = true;
    env.gridColour = 0x808080;
    return env;
}

// A 5 km trace falling 0.2 dB/km with a reflective connector at 2 km and the end at 4 km.
void fillSlot(TraceSlot &slot, const QString &name, int events = 3)
{
    slot.loaded = 1;
    slot.fileName = name;
    TraceData &t = *slot.trace;
    t.sampleSpacing = 1.0f;
    t.sampleCount = 5000;
    t.samples.resize(t.sampleCount);
    for (uint32_t i = 0; i < t.sampleCount; ++i)
        t.samples[i] = static_cast<uint16_t>(65535 - 5000 - i / 5 - (i > 4000 ? 20000 : 0));
    t.fibreLength = 4000.0f;
    t.wavelengthNm = 1550;
    t.pulseWidthNs = 10000;
    t.rangeMetres = 25000;
    t.averagingTime = 15;
    t.refractiveIndex = 1.4682f;
    t.endThreshold = 3.0f;
    t.operatorName = QStringLiteral("王工");
    t.serialNumber = QStringLiteral("SN-77");
    t.events.clear();
    for (int k = 0; k < events; ++k) {
        TraceEvent e;
        e.index = std::min(4999, k * 4000 / std::max(1, events - 1));
        e.distance = static_cast<float>(e.index);
        e.typeDigit = k == 1 ? 1 : 0;
        e.codeLetter = k == events - 1 ? 'E' : (k == 1 ? 'A' : 'F');
        e.loss = 0.1f;
        e.totalLoss = 0.1f * k;
        e.reflectance = k == 1 ? -40.0f : 0.0f;
        e.attenuation = 0.2f;
        t.events.push_back(e);
    }
    slot.cursorADistance = 1000.0f;
    slot.cursorBDistance = 13500.0f;
    slot.cursorBLevel = 2.5f;
}

PrintJob batchJob(std::vector<TraceSlot> &slots, const QString &printType)
{
    PrintJob job;
    job.printType = printType;
    for (TraceSlot &s : slots)
        job.slots.push_back(&s);
    job.count = static_cast<int>(slots.size());
    job.batchFlag = 1;
    return job;
}

QImage pageImage(const PrintJob &job, const ReportEnvironment &env, int page, int dpi = 100)
{
    const bool portrait = pageOrientation(job.printType) == QPageLayout::Portrait;
    const int w = static_cast<int>(190 * dpi / 25.4);
    const int h = static_cast<int>(277 * dpi / 25.4);
    QImage image(portrait ? w : h, portrait ? h : w, QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    QPainter p(&image);
    drawReportPage(p, job, env, page, pageGeometry(image));
    return image;
}

int darkPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            n += qGray(line[x]) < 128;
    }
    return n;
}

QString pdfText(const QString &pdf, int page)
{
    QProcess p;
    p.start("pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    p.waitForFinished(30000);
    return static_cast<int>(p.readAllStandardOutput().count('\f'));
}

TEST(ReducedCurve, DrawsTheSamePixelsAsEverySample)
{
    app();
    std::vector<uint16_t> samples(256000);
    uint32_t seed = 7;
    for (size_t i = 0; i < samples.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        samples[i] = static_cast<uint16_t>(40000 + (i / 20) % 9000 + (seed >> 20) % 600);
    }
    const QRect q(13, 20, 700, 400);
    const std::vector<QPoint> full = curvePoints(samples.data(), samples.size(), q);
    const std::vector<QPoint> reduced = reducedCurvePoints(samples.data(), samples.size(), q);
    EXPECT_LT(reduced.size(), full.size() / 50);
    QImage a(760, 1000, QImage::Format_RGB32);
    QImage b = a.copy();
    for (auto *image : {&a, &b}) {
        image->fill(Qt::white);
        QPainter p(image);
        p.setPen(QPen(Qt::black, 0));
        const auto &points = image == &a ? full : reduced;
        p.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    EXPECT_GT(darkPixels(a), 1000);
    EXPECT_TRUE(a == b);
    // A few samples: one point per column, nothing merged.
    EXPECT_EQ(reducedCurvePoints(samples.data(), 100, q).size(), 100u);
}

TEST(ReportPage, SlotWithoutTraceDrawsNothing)
{
    const ReportEnvironment env = environment();
    std::vector<TraceSlot> slots(3);
    fillSlot(slots[1], "b.sor");
    for (const QString &type : {QStringLiteral("0"), QStringLiteral("4")}) {
        PrintJob job = batchJob(slots, type);
        EXPECT_EQ(darkPixels(pageImage(job, env, 1)) > 0, type == "4") << type.toStdString();
        if (type == "0") {
            EXPECT_GT(darkPixels(pageImage(job, env, 2)), 1000);
            EXPECT_EQ(darkPixels(pageImage(job, env, 3)), 0);
            EXPECT_EQ(darkPixels(pageImage(job, env, 4)), 0); // beyond the count
        }
    }
}

TEST(ReportPage, TracePlotShowsTheVerdictAndCurveInItsBox)
{
    ReportEnvironment env = environment();
    std::vector<TraceSlot> slots(1);
    fillSlot(slots[0], "a.sor");
    PrintJob job = batchJob(slots, "0");
    const int withTrace = darkPixels(pageImage(job, env, 1));
    env.settings.selectTrace = false;
    const int withoutTrace = darkPixels(pageImage(job, env, 1));
    EXPECT_GT(withTrace, withoutTrace + 500);
}

class PdfReport : public testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const PrintJob &job, const ReportEnvironment &env, const QString &name = "r.pdf")
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeReportPdf(path, job, env, 300));
        return path;
    }
};

TEST_F(PdfReport, FullReportTextsFromTheTrace)
{
    ReportEnvironment env = environment();
    env.thresholds.TotalLoss = 0.15f; // the 0.2 dB total loss fails
    std::vector<TraceSlot> slots(1);
    fillSlot(slots[0], "first.sor");
    const QString text = pdfText(write(batchJob(slots, "0"), env), 1);
    for (const char *expected : {"OTDR test report", "Task", "first.sor", "Configuration", "1550nm", "25 km", "10us",
                                 "Auto", "3.000", "1.468", "15s", "SN: SN-77", "12.500 Km", "2.500 dB", "0.200 dB/km",
                                 "1 Reflect(A)", "2 Non-Reflect(E)", "Event No.", "Reflect(dB)", "-40.000", "FAIL",
                                 "km", "dB", "0.0", "0.4", "3.6", "45.0"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("王工")));
}

// The report replaces an older file in one step and leaves nothing beside it; a folder that
// does not exist gives false and no file.
TEST_F(PdfReport, WrittenThroughATemporaryFile)
{
    const ReportEnvironment env = environment();
    std::vector<TraceSlot> slots(1);
    fillSlot(slots[0], "first.sor");
    const QString path = dir.filePath(QStringLiteral("r.pdf"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older report");
    }
    write(batchJob(slots, "0"), env);
    EXPECT_TRUE(pdfText(path, 1).contains(QStringLiteral("first.sor")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("r.pdf")});
    EXPECT_FALSE(writeReportPdf(dir.filePath(QStringLiteral("missing/r.pdf")), batchJob(slots, "0"), env, 300));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("missing/r.pdf"))));
}

TEST_F(PdfReport, SelfDefineAndSelectionFlags)
{
    ReportEnvironment env = environment();
    env.settings.selfDefine = true;
    env.settings.wavelength = "1625";
    env.settings.pulse = "10000";
    env.settings.range = "800";
    env.settings.selectJob = false;
    env.settings.selectEvent = false;
    env.gridVisible = false;
    std::vector<TraceSlot> slots(1);
    fillSlot(slots[0], "second.sor");
    const QString text = pdfText(write(batchJob(slots, "0"), env), 1);
    EXPECT_TRUE(text.contains("1625nm"));
    EXPECT_TRUE(text.contains("10us"));
    EXPECT_TRUE(text.contains("800m"));
    EXPECT_FALSE(text.contains("second.sor"));   // no task box
    EXPECT_FALSE(text.contains("Event No."));    // no event box
    EXPECT_FALSE(text.contains("45.0"));         // grid off: no axis labels
    EXPECT_TRUE(text.contains("12.500 Km"));     // A-B box always

    // No PrintSetting at all: every section, empty values with their units.
    env.settings = PrintSettings{};
    const QString bare = pdfText(write(batchJob(slots, "0"), env, "bare.pdf"), 1);
    EXPECT_TRUE(bare.contains("second.sor"));
    EXPECT_TRUE(bare.contains(": nm"));
    EXPECT_TRUE(bare.contains(": ns"));
}

TEST_F(PdfReport, CompactReportsLimitTheEventRows)
{
    const ReportEnvironment env = environment();
    std::vector<TraceSlot> slots(9);
    for (size_t i = 0; i < slots.size(); ++i)
        fillSlot(slots[i], QStringLiteral("cell%1.sor").arg(i), 11);
    const QString path = write(batchJob(slots, "4"), env);
    const QString first = pdfText(path, 1);
    const QString second = pdfText(path, 2);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(first.contains(QStringLiteral("cell%1.sor").arg(i))) << i;
    EXPECT_TRUE(second.contains("cell8.sor"));
    EXPECT_EQ(second.count("OTDR test report"), 1);
    EXPECT_TRUE(second.contains("3 Non-Reflect(F)"));
    EXPECT_FALSE(second.contains("4 Non-Reflect(F)"));
    EXPECT_FALSE(second.contains("Reflect(dB)")); // five columns only

    const QString six = pdfText(write(batchJob(slots, "1"), env, "two.pdf"), 1);
    EXPECT_TRUE(six.contains("6 Non-Reflect(F)"));
    EXPECT_FALSE(six.contains("7 Non-Reflect(F)"));
    EXPECT_TRUE(six.contains("Unit(A-B)"));
}

TEST_F(PdfReport, PowerMeterPagesThirtyRowsEach)
{
    const ReportEnvironment env = environment();
    PrintJob job;
    job.powerMeterMode = 1;
    for (int i = 1; i <= 31; ++i)
        job.powerMeterRows.push_back({QStringLiteral("F%1").arg(i), "C9", "2015-06-01", "10:20:30", "-12.34dBm", "op1"});
    const QString path = write(job, env);
    const QString first = pdfText(path, 1);
    const QString second = pdfText(path, 2);
    EXPECT_TRUE(first.contains("Power Meter Report"));
    EXPECT_TRUE(first.contains("F30"));
    EXPECT_FALSE(first.contains("F31"));
    EXPECT_TRUE(second.contains("F31"));
    EXPECT_TRUE(second.contains("-12.34dBm"));
    EXPECT_EQ(second.count("C9"), 1);
}

// A passing batch slot (folder and name), a failing main-window slot (full path), a batch file
// that could not be read (named, no trace), a slot never filled and a missing one.
struct SummarySlots {
    std::vector<TraceSlot> slots = std::vector<TraceSlot>(4);
    std::vector<const TraceSlot *> pointers;

    SummarySlots()
    {
        fillSlot(slots[0], "pass.sor");
        slots[0].filePath = "/data/cable 7";
        fillSlot(slots[1], "fail.sor");
        slots[1].filePath = "/data/cable 7/fail.sor";
        slots[1].trace->events[1].loss = 0.6f; // over the 0.5 dB reflective-event limit
        slots[2].fileName = "broken.sor";
        slots[2].filePath = "/data/cable 7";
        pointers = {&slots[0], &slots[1], &slots[2], &slots[3], nullptr};
    }
};

TEST(SummaryRows, EverySlotGetsItsRow)
{
    const SummarySlots s;
    const std::vector<LinkSummary> rows = summaryRowsForSlots(s.pointers, 5, PassThresholds{});
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].file, "/data/cable 7/pass.sor");
    EXPECT_TRUE(rows[0].readable);
    EXPECT_EQ(rows[0].verdict, VerdictPass);
    EXPECT_EQ(rows[0].eventCount, 3);
    EXPECT_EQ(rows[0].wavelengthNm, 1550);
    ASSERT_TRUE(rows[0].lengthM.has_value());
    EXPECT_FLOAT_EQ(*rows[0].lengthM, 4000.0f);
    EXPECT_EQ(rows[1].file, "/data/cable 7/fail.sor") << "a full path is kept as it is";
    EXPECT_EQ(rows[1].verdict, VerdictFail);
    EXPECT_FLOAT_EQ(rows[1].maxEventLossDb.value_or(0.0f), 0.6f);
    EXPECT_EQ(rows[2].file, "/data/cable 7/broken.sor");
    for (size_t i : {2u, 3u, 4u}) {
        EXPECT_FALSE(rows[i].readable) << i;
        EXPECT_EQ(rows[i].verdict, VerdictNone) << i;
        EXPECT_FALSE(rows[i].lengthM.has_value()) << i;
    }
    EXPECT_EQ(rows[3].file, "");

    // The count chooses the slots, never more than there are.
    EXPECT_EQ(summaryRowsForSlots(s.pointers, 2, PassThresholds{}).size(), 2u);
    EXPECT_EQ(summaryRowsForSlots(s.pointers, 99, PassThresholds{}).size(), 5u);
    EXPECT_TRUE(summaryRowsForSlots(s.pointers, -1, PassThresholds{}).empty());
    // Thresholds decide: a looser limit passes the second slot.
    PassThresholds loose;
    loose.Reflection = 1.0f;
    EXPECT_EQ(summaryRowsForSlots(s.pointers, 2, loose)[1].verdict, VerdictPass);
}

TEST(SummaryRows, SlotFilePathJoinsFolderAndName)
{
    const struct {
        const char *folderOrPath;
        const char *name;
        const char *expected;
    } cases[] = {
        {"/data/cable 7", "a.sor", "/data/cable 7/a.sor"},
        {"/data/cable 7/a.sor", "a.sor", "/data/cable 7/a.sor"},
        {"/", "a.sor", "/a.sor"},
        {"", "a.sor", "a.sor"},
        {"/data/b.sor", "", "/data/b.sor"},
    };
    for (const auto &c : cases) {
        TraceSlot slot;
        slot.filePath = c.folderOrPath;
        slot.fileName = c.name;
        EXPECT_EQ(slotFilePath(slot), c.expected) << c.folderOrPath << " + " << c.name;
    }
    // A folder named like the file it holds is still a folder.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("a.sor"));
    TraceSlot slot;
    slot.filePath = dir.filePath("a.sor");
    slot.fileName = "a.sor";
    EXPECT_EQ(slotFilePath(slot), dir.filePath("a.sor/a.sor"));
}

TEST_F(PdfReport, SummaryPageFirstThenTheReports)
{
    const ReportEnvironment env = environment();
    const SummarySlots s;
    PrintJob job;
    job.printType = "0";
    job.slots = {s.pointers.begin(), s.pointers.begin() + 3};
    job.count = 3;
    job.batchFlag = 1;
    job.summaryRows = summaryRowsForSlots(job.slots, job.count, env.thresholds);
    const QString path = write(job, env);
    EXPECT_EQ(pdfPages(path), 4);

    const QString summary = pdfText(path, 1);
    for (const char *expected : {"Link summary", "Wavelength", "Result", "pass.sor", "fail.sor", "broken.sor", "PASS",
                                 "FAIL", "Unreadable", "4000.00", "0.600", "Page 1 of 1"})
        EXPECT_TRUE(summary.contains(expected)) << expected << "\n" << summary.toStdString();
    EXPECT_FALSE(summary.contains("OTDR test report"));
    EXPECT_FALSE(summary.contains("/data")) << "the table names files without their folder";
    EXPECT_LT(summary.indexOf("pass.sor"), summary.indexOf("fail.sor"));
    EXPECT_LT(summary.indexOf("fail.sor"), summary.indexOf("broken.sor"));

    const QString first = pdfText(path, 2);
    EXPECT_TRUE(first.contains("OTDR test report"));
    EXPECT_TRUE(first.contains("pass.sor"));
    EXPECT_FALSE(first.contains("Link summary"));
    EXPECT_TRUE(pdfText(path, 3).contains("fail.sor"));
    EXPECT_FALSE(pdfText(path, 4).contains("OTDR test report")) << "the unread file's page stays empty";
}

TEST_F(PdfReport, SummaryOverThirtyRowsTakesTwoPagesBeforeCompactReports)
{
    const ReportEnvironment env = environment();
    std::vector<TraceSlot> slots(31);
    for (size_t i = 0; i < slots.size(); ++i)
        fillSlot(slots[i], QStringLiteral("cell%1.sor").arg(i, 2, 10, QLatin1Char('0')));
    PrintJob job = batchJob(slots, "4");
    job.summaryRows = summaryRowsForSlots(job.slots, job.count, env.thresholds);
    const QString path = write(job, env);
    EXPECT_EQ(pdfPages(path), 2 + 4);
    const QString first = pdfText(path, 1);
    const QString second = pdfText(path, 2);
    EXPECT_TRUE(first.contains("cell29.sor"));
    EXPECT_FALSE(first.contains("cell30.sor"));
    EXPECT_TRUE(first.contains("Page 1 of 2"));
    EXPECT_TRUE(second.contains("cell30.sor"));
    EXPECT_TRUE(second.contains("Page 2 of 2"));
    EXPECT_EQ(second.count("PASS"), 1);
    const QString reports = pdfText(path, 3);
    EXPECT_EQ(reports.count("OTDR test report"), 8);
    EXPECT_TRUE(reports.contains("cell00.sor"));
    EXPECT_TRUE(pdfText(path, 6).contains("cell30.sor"));
}

TEST_F(PdfReport, PowerMeterJobIgnoresSummaryRowsAndAnEmptyTableKeepsItsTitle)
{
    const ReportEnvironment env = environment();
    PrintJob job;
    job.powerMeterMode = 1;
    job.summaryRows = {unreadableSummary("x.sor")};
    job.powerMeterRows.push_back({"F1", "C9", "2015-06-01", "10:20:30", "-12.34dBm", "op1"});
    QString path = write(job, env);
    EXPECT_EQ(pdfPages(path), 1);
    EXPECT_TRUE(pdfText(path, 1).contains("Power Meter Report"));
    EXPECT_FALSE(pdfText(path, 1).contains("Link summary"));

    job.powerMeterRows.clear();
    path = write(job, env, "empty.pdf");
    EXPECT_EQ(pdfPages(path), 1);
    EXPECT_TRUE(pdfText(path, 1).contains("Power Meter Report"));
}

} // namespace
