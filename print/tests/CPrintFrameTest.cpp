#include "print/CPrintFrame.h"

#include "trace/TraceSet.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QPointer>

#include <gtest/gtest.h>

namespace {

QApplication &widgetApp()
{
    static int argc = 1;
    static char name[] = "print_tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
    return *qobject_cast<QApplication *>(QCoreApplication::instance());
}

TEST(CPrintFrame, ShowsThePagesAndClosingReturnsToTheOwner)
{
    widgetApp();
    TraceSet traces;
    for (int i = 0; i < 3; ++i) {
        TraceSlot &s = traces.slots[static_cast<size_t>(i)];
        s.loaded = 1;
        s.fileName = QStringLiteral("t%1.sor").arg(i);
        s.trace->sampleCount = 200;
        s.trace->samples.assign(200, 60000);
        s.trace->sampleSpacing = 1.0f;
    }
    traces.loadedCount = 3;
    QWidget owner;
    owner.hide();
    ReportEnvironment env;
    const auto text = [](int id) { return id == 228 ? QStringLiteral("Print preview") : QString::number(id); };
    QPointer<CPrintFrame> frame = openPrintPreview(&owner, mainWindowPrintJob(traces, {}), env, false, text);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Print preview"));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(owner.isVisible());
    frame->previewWidget()->updatePreview();
    EXPECT_EQ(frame->previewWidget()->pageCount(), 3);
    EXPECT_EQ(frame->previewPrinter().pageLayout().orientation(), QPageLayout::Portrait);

    owner.hide();
    bool told = false;
    QObject::connect(frame, &CPrintFrame::closedToOwner, [&] { told = true; });
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(told);
    EXPECT_TRUE(owner.isVisible());
    EXPECT_TRUE(frame.isNull());
}

TEST(CPrintFrame, EightAPageIsLandscape)
{
    widgetApp();
    PrintJob job;
    job.printType = "4";
    QPointer<CPrintFrame> frame = new CPrintFrame(nullptr, job, ReportEnvironment{}, PreviewTexts{});
    EXPECT_EQ(frame->previewPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    delete frame;
}

// The preview's "Export PDF..." names the report, the program and the operator.
TEST(CPrintFrame, ExportedPdfIdentifiesItself)
{
    widgetApp();
    TraceSet traces;
    TraceSlot &s = traces.slots[0];
    s.loaded = 1;
    s.fileName = QStringLiteral("span-4.sor");
    s.filePath = QStringLiteral("/routes/span-4.sor");
    s.trace->sampleCount = 200;
    s.trace->samples.assign(200, 60000);
    s.trace->sampleSpacing = 1.0f;
    s.trace->operatorName = QStringLiteral("Ann Example");
    traces.loadedCount = 1;
    ReportEnvironment env;
    env.labels.pdfTraceReport = QStringLiteral("Trace report");
    CPrintFrame frame(nullptr, mainWindowPrintJob(traces, {}), env, PreviewTexts{});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.pdf"));
    ASSERT_TRUE(frame.exportPdf(path));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("Title:           Trace report - span-4.sor"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Creator:         Lumidor"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Author:          Ann Example"))) << out.toStdString();
}

} // namespace
