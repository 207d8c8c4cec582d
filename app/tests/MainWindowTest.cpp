#include "app/CAboutDlg.h"
#include "app/CLumidorApp.h"
#include "app/CLumidorDlg.h"
#include "app/FileCommands.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "batch/CBatchThumbnail.h"
#include "batch/CCheckListCtrl.h"
#include "batch/CDlgBatchDeal.h"
#include "batch/CDlgThumbnail.h"
#include "config/PassThresholds.h"
#include "panels/CDlgAnalysisThresholds.h"
#include "panels/CDlgEdit.h"
#include "panels/CDlgPass.h"
#include "panels/CShowOpmValue.h"
#include "panels/CSubDlgInfo.h"
#include "panels/CSubDlgToolbar.h"
#include "panels/CUiPngButton.h"
#include "panels/MessageBox.h"
#include "print/CPrintFrame.h"
#include "print/PrintJob.h"
#include "print/ReportRenderer.h"
#include "textres/TextIds.h"
#include "textres/TextResources.h"
#include "tools/gen/TraceGenerator.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/EventTable.h"
#include "trace/TraceLoader.h"
#include "trace/SorEditing.h"
#include "trace/tests/SorTestFiles.h"
#include "view/COtdrTrace.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "testsupport/CommaDecimalLocale.h"
#include "testsupport/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <functional>
#include <string>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

// The preview window open now, if any.
CPrintFrame *openFrame()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *frame = qobject_cast<CPrintFrame *>(w); frame && frame->isVisible())
            return frame;
    }
    return nullptr;
}

QString binDir()
{
    const QByteArray env = qgetenv("LUMIDOR_BIN_DIR");
    return env.isEmpty() ? QStringLiteral(LUMIDOR_TEST_BIN_DIR) : QString::fromLocal8Bit(env);
}

// A generated trace: a splice, a connector and the fibre end, `lengthM` long.
gen::Trace sampleTrace(double lengthM, uint32_t seed, int wavelengthNm = 1550)
{
    gen::Options o;
    o.wavelengthNm = wavelengthNm;
    o.seed = seed;
    o.pointCount = 8000;
    o.events = {{gen::EventKind::Splice, lengthM * 0.3, 0.15, 0.0},
                {gen::EventKind::Connector, lengthM * 0.6, 0.5, -45.0},
                {gen::EventKind::End, lengthM, 0.0, -14.0}};
    return gen::generate(o);
}

// Records every message box and answers with `answer`.
struct MessageLog {
    std::vector<MessageRequest> seen;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    MessageLog()
    {
        setMessageHook([this](const MessageRequest &r) {
            seen.push_back(r);
            return answer;
        });
    }
    ~MessageLog() { setMessageHook({}); }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &r : seen)
            out << r.text;
        return out;
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApp();
        ASSERT_TRUE(dir.isValid());
        session.binFolder = binDir();
        session.analysis = bindEventAnalysis(session.binFolder);
        window = std::make_unique<CLumidorDlg>(session);
        window->OnInitDialog(false);
        window->resize(1400, 900);
    }
    void TearDown() override
    {
        window.reset();
        QApplication::processEvents();
    }

    // Writes `count` distinct sample files and returns their paths.
    QStringList writeSamples(int count, const QString &prefix = QStringLiteral("t"))
    {
        QStringList paths;
        CSorFileBase file;
        for (int i = 0; i < count; ++i) {
            const QString path = dir.filePath(QStringLiteral("%1%2.sor").arg(prefix).arg(i));
            const gen::Trace t = sampleTrace(5000.0 + 1000.0 * i, static_cast<uint32_t>(i + 1));
            EXPECT_EQ(file.SaveFile(path, t.record), 1);
            paths << path;
        }
        return paths;
    }

    static QStringList namesOf(const QStringList &paths)
    {
        QStringList names;
        for (const QString &p : paths)
            names << QFileInfo(p).fileName();
        return names;
    }

    void load(const QStringList &paths) { window->loadFiles(paths, namesOf(paths)); }

    int loaded() const { return session.traceSet.loadedCount; }
    int curves() const { return static_cast<int>(window->traceView()->state().curves.size()); }

    QTemporaryDir dir;
    Session session;
    std::unique_ptr<CLumidorDlg> window;
};

TEST_F(MainWindowTest, StartsEmptyWithTextsAndSettings)
{
    EXPECT_EQ(window->windowTitle(), loadText(103));
    EXPECT_FALSE(window->windowTitle().isEmpty());
    EXPECT_EQ(window->action(CLumidorDlg::CmdOpen)->text(), loadText(192));
    EXPECT_EQ(window->action(CLumidorDlg::CmdPassFail)->text(), "Pass/Fail");
    EXPECT_EQ(loaded(), 0);
    EXPECT_EQ(curves(), 0);
    EXPECT_EQ(window->eventRowCount(), 0);
    EXPECT_EQ(window->eventList()->columnCount(), 7);
    EXPECT_EQ(window->eventList()->horizontalHeaderItem(1)->text(), loadText(117));
    EXPECT_EQ(window->traceView()->activeCursor(), 1);

    // Report labels and fonts are ready for printing.
    EXPECT_EQ(session.reportLabels.title, loadText(126));
    EXPECT_EQ(session.reportLabels.abBox, loadText(238));
    EXPECT_EQ(session.reportFontTable.face, QString::fromUtf8("宋体"));
    EXPECT_EQ(session.reportFontTable.sizes[1], (std::array<int, 5>{9, 8, 7, 6, 5}));
    EXPECT_EQ(session.reportFontTable.sizes[4], (std::array<int, 5>{24, 20, 18, 16, 12}));
    EXPECT_TRUE(session.logoPath.endsWith(QLatin1String("/logo.bmp")));
    EXPECT_TRUE(session.passThresholdsPath.endsWith(QLatin1String("/Config.ini")));
}

TEST_F(MainWindowTest, WindowAndAboutBoxCarryTheProgramIcon)
{
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_FALSE(window->windowIcon().pixmap(32, 32).isNull());
    CAboutDlg about(window.get());
    const QList<QLabel *> labels = about.findChildren<QLabel *>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel *l) { return !l->pixmap().isNull(); }));
}

TEST_F(MainWindowTest, PanelsSitOnTheirPlaceholdersAfterResize)
{
    window->show();
    window->resize(1500, 950);
    QApplication::processEvents();
    auto *tbHolder = window->findChild<QWidget *>(QStringLiteral("1003"));
    auto *infoHolder = window->findChild<QWidget *>(QStringLiteral("1002"));
    auto *ovHolder = window->findChild<QWidget *>(QStringLiteral("1048"));
    ASSERT_TRUE(tbHolder && infoHolder && ovHolder);
    EXPECT_EQ(window->toolbar()->geometry(), tbHolder->geometry());
    EXPECT_EQ(window->infoPanel()->geometry(), infoHolder->geometry());
    EXPECT_EQ(window->overviewPanel()->geometry(), ovHolder->geometry());
    const QRect list = window->eventList()->geometry();
    const QRect info = window->infoPanel()->geometry();
    window->resize(1200, 800);
    QApplication::processEvents();
    // Fixed height along the bottom, fixed width on the right.
    EXPECT_EQ(window->eventList()->height(), list.height());
    EXPECT_EQ(window->infoPanel()->width(), info.width());
    EXPECT_EQ(window->infoPanel()->geometry(), infoHolder->geometry());
    EXPECT_LT(window->eventList()->width(), list.width());
}

TEST_F(MainWindowTest, ShrinkingStopsWhereThePanelsStillFit)
{
    window->show();
    window->resize(400, 300);
    QApplication::processEvents();
    EXPECT_GT(window->width(), 400);
    EXPECT_GT(window->height(), 300);
    // The information panel keeps room for all its lines, the overview stays inside the window.
    EXPECT_GE(window->infoPanel()->height(), window->infoPanel()->minimumSizeHint().height());
    EXPECT_GE(window->overviewPanel()->geometry().top(), window->infoPanel()->geometry().bottom());
    EXPECT_GT(window->traceView()->height(), 0);
    EXPECT_GT(window->eventList()->width(), 0);
}

TEST_F(MainWindowTest, LoadsFilesIntoSlotsUpToEight)
{
    MessageLog log;
    const QStringList paths = writeSamples(10);
    load(paths.mid(0, 7));
    EXPECT_EQ(loaded(), 7);
    EXPECT_EQ(curves(), 7);
    EXPECT_TRUE(log.seen.empty());

    // Seven loaded, three more: only the first fits, the rest are dropped silently.
    load(paths.mid(7, 3));
    EXPECT_EQ(loaded(), 8);
    EXPECT_EQ(session.traceSet.slots[7].filePath, paths[7]);
    EXPECT_TRUE(log.seen.empty());

    load({paths[9]});
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_EQ(log.seen[0].text, loadText(178));
    EXPECT_EQ(log.seen[0].caption, "Kestrelle");
    EXPECT_EQ(loaded(), 8);
    EXPECT_EQ(window->infoPanel()->rowCount(), 8);
}

TEST_F(MainWindowTest, DuplicateAndBrokenFiles)
{
    MessageLog log;
    const QStringList paths = writeSamples(2);
    load({paths[0]});
    // The same file again, also in other letter case: silently skipped; b still loads.
    QString upper = paths[0];
    upper.replace(QStringLiteral("t0.sor"), QStringLiteral("T0.SOR"));
    load({paths[0], upper, paths[1]});
    EXPECT_EQ(loaded(), 2);
    EXPECT_TRUE(log.seen.empty());
    EXPECT_EQ(session.traceSet.slots[1].filePath, paths[1]);

    // A broken file between good ones: one message, the others load into contiguous slots.
    const QString broken = dir.filePath(QStringLiteral("broken.sor"));
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a trace at all");
    f.close();
    const QStringList more = writeSamples(1, QStringLiteral("u"));
    load({broken, more[0]});
    EXPECT_EQ(log.texts(), QStringList{loadText(179)});
    EXPECT_EQ(loaded(), 3);
    EXPECT_EQ(session.traceSet.slots[2].filePath, more[0]);
}

TEST_F(MainWindowTest, PowerMeterFilesGoToTheViewerWhoseAnswerDecidesTheLoad)
{
    MessageLog log;
    const QStringList paths = writeSamples(2);
    QFile meter(dir.filePath(QStringLiteral("meter.OPM")));
    ASSERT_TRUE(meter.open(QIODevice::WriteOnly));
    meter.write("FiberId=F1,CableId=C1,Date=2026-01-02,Time=10:11:12,Value=-3.21 dBm,Operator=Lee;\n");
    meter.close();

    QStringList shown;
    int modeWhileOpen = -1;
    int answer = QDialog::Rejected;
    setDialogHook([&](QDialog &dialog) {
        auto *viewer = qobject_cast<CShowOpmValue *>(&dialog);
        if (!viewer)
            return int(QDialog::Rejected);
        shown << viewer->path();
        modeWhileOpen = session.printJob.powerMeterMode;
        return answer;
    });
    // Cancelled: nothing loads, also not the file before it.
    window->openPaths({paths[0], meter.fileName(), paths[1]});
    EXPECT_EQ(shown, QStringList{meter.fileName()}) << "an upper-case extension is a power-meter file too";
    EXPECT_EQ(modeWhileOpen, 1);
    EXPECT_EQ(session.printJob.powerMeterMode, 0);
    EXPECT_EQ(loaded(), 0);

    // OK: the files before it load, the ones after it never do; the main window's next preview
    // prints traces again.
    answer = QDialog::Accepted;
    window->openPaths({paths[0], meter.fileName(), paths[1]});
    EXPECT_EQ(loaded(), 1);
    EXPECT_EQ(session.traceSet.slots[0].filePath, paths[0]);
    EXPECT_EQ(session.printJob.powerMeterMode, 0);
    setDialogHook({});
    EXPECT_TRUE(log.seen.empty());
}

TEST_F(MainWindowTest, PowerMeterViewerPreviewsItsRecords)
{
    QFile meter(dir.filePath(QStringLiteral("meter.opm")));
    ASSERT_TRUE(meter.open(QIODevice::WriteOnly));
    meter.write("FiberId=F1,CableId=C1,Date=2026-01-02,Time=10:11:12,Value=-3.21 dBm,Operator=Lee;\n"
                "FiberId=F2,CableId=C1,Date=2026-01-02,Time=10:12:00,Value=-3.50 dBm,Operator=Lee;\n");
    meter.close();
    CPrintFrame *frame = nullptr;
    setDialogHook([&](QDialog &dialog) {
        auto *viewer = qobject_cast<CShowOpmValue *>(&dialog);
        if (viewer) {
            Q_EMIT viewer->printPreviewRequested();
            frame = openFrame();
        }
        return int(QDialog::Accepted);
    });
    window->openPaths({meter.fileName()});
    setDialogHook({});
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->job().powerMeterMode, 1);
    ASSERT_EQ(frame->job().powerMeterRows.size(), 2u);
    EXPECT_EQ(frame->job().powerMeterRows[1].fiberId, QStringLiteral("F2"));
    EXPECT_EQ(pageCount(frame->job()), 1);
    delete frame;
}

TEST_F(MainWindowTest, VerticalRangeFollowsTheHighestLevel)
{
    struct Case {
        int current, maximum, k, expected;
    } cases[] = {
        {0, 40, 0, 50},   // U = 48: W = 9, 0 + 45 + 5
        {50, 30, 1, 50},  // lower, not the first slot: unchanged
        {100, 30, 0, 50}, // lower in the first slot: shrinks, not below 50
        {50, 60, 2, 75},  // U = 72: W = 4, 50 + 20 + 5
        {120, 60, 0, 75}, // U = 72: W = 9, 120 - 45
    };
    for (const Case &c : cases)
        EXPECT_EQ(nextVerticalRangeDb(c.current, c.maximum, c.k), c.expected) << c.current << " " << c.maximum;
}

TEST_F(MainWindowTest, InformationPanelRemoveClearAndSelect)
{
    const QStringList paths = writeSamples(3);
    load(paths);
    ASSERT_EQ(loaded(), 3);
    EXPECT_EQ(session.traceSet.currentSlot, 2);
    EXPECT_EQ(window->traceView()->state().currentCurve, 2);
    EXPECT_EQ(window->overviewPanel()->trace(), session.traceSet.slots[2].trace.get());

    window->infoPanel()->SelectRow(0);
    EXPECT_EQ(session.traceSet.currentSlot, 0);
    EXPECT_EQ(window->traceView()->state().currentCurve, 0);
    const auto rows0 = window->eventRowCount();
    EXPECT_EQ(rows0, static_cast<int>(session.traceSet.slots[0].trace->events.size()) - 1);

    QTest::mouseClick(window->infoPanel()->findChild<QWidget *>(QStringLiteral("button1000")), Qt::LeftButton);
    EXPECT_EQ(loaded(), 2);
    EXPECT_EQ(curves(), 2);
    EXPECT_EQ(session.traceSet.slots[0].filePath, paths[1]);

    QTest::mouseClick(window->infoPanel()->findChild<QWidget *>(QStringLiteral("button1001")), Qt::LeftButton);
    EXPECT_EQ(loaded(), 0);
    EXPECT_EQ(curves(), 0);
    EXPECT_EQ(window->eventRowCount(), 0);
    EXPECT_EQ(window->overviewPanel()->trace(), nullptr);
}

TEST_F(MainWindowTest, MultiTraceBoxHidesOtherCurves)
{
    load(writeSamples(3));
    auto *box = window->infoPanel()->findChild<QAbstractButton *>(QStringLiteral("check1020"));
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->isChecked());
    box->click();
    const auto &state = window->traceView()->state();
    int visible = 0;
    for (const auto &c : state.curves)
        visible += c.visible;
    EXPECT_EQ(visible, 1);
    EXPECT_EQ(state.curves[static_cast<size_t>(state.currentCurve)].visible, 1);
    box->click();
    visible = 0;
    for (const auto &c : state.curves)
        visible += c.visible;
    EXPECT_EQ(visible, 3);
}

TEST_F(MainWindowTest, EventListShowsTheCurrentTraceAndMovesTheCursorToTheRowsEvent)
{
    load(writeSamples(1));
    const TraceData &t = *session.traceSet.slots[0].trace;
    ASSERT_GE(t.events.size(), 3u);
    QTableWidget *list = window->eventList();
    ASSERT_EQ(list->rowCount(), static_cast<int>(t.events.size()) - 1);
    EXPECT_TRUE(list->item(0, 0)->text().endsWith(QLatin1String("1")));
    EXPECT_EQ(list->item(list->rowCount() - 1, 3)->text(), "--");

    window->selectEventRow(1);
    const auto &state = window->traceView()->state();
    // Row 1 shows event 2: the cursor goes to that event's distance.
    EXPECT_NEAR(state.cursorA.distance, t.events[2].distance, t.sampleSpacing * 1.5);
}

TEST_F(MainWindowTest, ToolbarAndMenuCommandsReachTheView)
{
    load(writeSamples(1));
    const auto &state = window->traceView()->state();
    const float span = state.xMax - state.xMin;
    window->runCommand(CLumidorDlg::CmdHZoomIn);
    EXPECT_LT(state.xMax - state.xMin, span);

    // Toggle cursor three times from A: B, both, A.
    int seen[3];
    for (int &s : seen) {
        window->action(CLumidorDlg::CmdToggleCursor)->trigger();
        s = window->traceView()->activeCursor();
    }
    EXPECT_EQ(seen[0], 2);
    EXPECT_EQ(seen[1], 3);
    EXPECT_EQ(seen[2], 1);

    QTest::mouseClick(window->toolbar()->button(CSubDlgToolbar::IdToggleCursor), Qt::LeftButton);
    EXPECT_EQ(window->traceView()->activeCursor(), 2);

    QTest::mouseClick(window->toolbar()->button(CSubDlgToolbar::IdResetView), Qt::LeftButton);
    EXPECT_FLOAT_EQ(state.xMax - state.xMin, span);
}

TEST_F(MainWindowTest, PrintingNeedsATraceAndExitAsks)
{
    MessageLog log;
    window->runCommand(CLumidorDlg::CmdPrintPreview);
    window->runCommand(CLumidorDlg::CmdPrint);
    window->runCommand(CLumidorDlg::CmdExportEvents);
    ASSERT_EQ(log.seen.size(), 3u);
    for (const MessageRequest &m : log.seen) {
        EXPECT_EQ(m.text, loadText(123));
        EXPECT_EQ(m.caption, "Tips");
        EXPECT_EQ(m.icon, QMessageBox::Warning);
    }
    EXPECT_EQ(openFrame(), nullptr);

    window->show();
    log.seen.clear();
    log.answer = QMessageBox::Cancel;
    window->runCommand(CLumidorDlg::CmdExit);
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_EQ(log.seen[0].text, loadText(124));
    EXPECT_EQ(log.seen[0].icon, QMessageBox::Question);
    EXPECT_TRUE(window->isVisible());
    log.answer = QMessageBox::Ok;
    window->runCommand(CLumidorDlg::CmdExit);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, PrintPreviewShowsTheLoadedTracesWithTheViewCursors)
{
    MessageLog log;
    load(writeSamples(3));
    COtdrTrace *view = window->traceView();
    view->setActiveCursor(1);
    view->StepCursor(200);
    const TraceViewState &s = view->state();
    window->runCommand(CLumidorDlg::CmdPrintPreview);
    CPrintFrame *frame = openFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(log.seen.empty());
    EXPECT_TRUE(frame->isModal()) << "the main window waits while its traces are previewed";
    const PrintJob &job = frame->job();
    EXPECT_EQ(job.count, 3);
    EXPECT_EQ(job.batchFlag, 0);
    EXPECT_EQ(job.printType, QStringLiteral("0"));
    EXPECT_EQ(job.slots[2], &session.traceSet.slots[2]);
    EXPECT_FLOAT_EQ(job.viewCursors.aDistance, s.cursorA.distance);
    EXPECT_FLOAT_EQ(job.viewCursors.aLevel, view->ValueAt(s.cursorA.distance));
    EXPECT_FLOAT_EQ(job.viewCursors.bDistance, s.cursorB.distance);
    // Every page its own A-B: the current trace's page exactly the view's, the others the view's
    // distances on their own traces.
    const int current = session.traceSet.currentSlot;
    for (int i = 0; i < 3; ++i) {
        const CursorPair page = reportCursors(job, session.traceSet.slots[i]);
        const CursorPair want = i == current ? job.viewCursors
                                             : cursorPairOn(*session.traceSet.slots[i].trace, s.cursorA.distance,
                                                            s.cursorB.distance);
        EXPECT_FLOAT_EQ(page.aLevel, want.aLevel) << i;
        EXPECT_FLOAT_EQ(page.bLevel, want.bLevel) << i;
        EXPECT_FLOAT_EQ(page.bDistance, want.bDistance) << i;
    }
    EXPECT_EQ(pageCount(job), 3);
    EXPECT_EQ(frame->owner(), window.get());
    delete frame;
}

TEST_F(MainWindowTest, ExportEventsWritesTheCurrentTraceAndReportsAFailedWrite)
{
    MessageLog log;
    const QStringList paths = writeSamples(2);
    load(paths);
    window->infoPanel()->SelectRow(0);
    QString suggested;
    setDialogHook([&](QDialog &dialog) {
        auto *files = qobject_cast<QFileDialog *>(&dialog);
        EXPECT_EQ(dialog.objectName(), QStringLiteral("exportDialog"));
        suggested = files ? files->selectedFiles().value(0) : QString();
        return int(QDialog::Accepted);
    });
    window->runCommand(CLumidorDlg::CmdExportEvents);
    setDialogHook({});
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/t0.csv"))) << suggested.toStdString();
    QFile csv(suggested);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray written = csv.readAll();
    EXPECT_EQ(written, eventTableCsvHeader() + eventTableCsvRecords(paths[0], *session.traceSet.slots[0].trace));
    EXPECT_TRUE(log.seen.empty());

    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/x.csv"));
    EXPECT_FALSE(window->exportEventsTo(nowhere));
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_TRUE(log.seen[0].text.startsWith(loadText(345)));
    EXPECT_TRUE(log.seen[0].text.contains(nowhere));
    EXPECT_EQ(log.seen[0].icon, QMessageBox::Warning);
}

// File > Export trace writes the current trace's samples as drawn; File > Export picture the
// view as shown, at twice its size when asked. Failures name the file and leave it alone.
TEST_F(MainWindowTest, ExportTraceAndPictureOfTheCurrentTrace)
{
    MessageLog log;
    const QStringList paths = writeSamples(2);
    load(paths);
    window->infoPanel()->SelectRow(0);
    QString suggested;
    setDialogHook([&](QDialog &dialog) {
        auto *files = qobject_cast<QFileDialog *>(&dialog);
        suggested = files ? files->selectedFiles().value(0) : QString();
        return int(QDialog::Accepted);
    });
    window->runCommand(CLumidorDlg::CmdExportTrace);
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/t0.csv"))) << suggested.toStdString();
    QFile csv(suggested);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = csv.readAll().split('\n');
    EXPECT_EQ(rows.value(0), "distance_km,level_db");
    EXPECT_EQ(rows.size() - 2, static_cast<qsizetype>(session.traceSet.slots[0].trace->sampleCount));
    const TraceCurve *curve = window->traceView()->state().current();
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(rows.value(11).split(',').value(1), QByteArray::number(curve->levels[10], 'f', 3));
    EXPECT_TRUE(log.seen.empty());

    // The picture, after the size question: No gives the view's size, Yes twice that.
    const QSize viewSize = window->traceView()->state().clientRect.size();
    log.answer = QMessageBox::No;
    window->runCommand(CLumidorDlg::CmdExportPicture);
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/t0.png"))) << suggested.toStdString();
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_EQ(log.seen[0].text, loadText(text::PictureAtTwiceTheSize));
    EXPECT_EQ(QImage(suggested).size(), viewSize);
    log.answer = QMessageBox::Yes;
    window->runCommand(CLumidorDlg::CmdExportPicture);
    EXPECT_EQ(QImage(suggested).size(), viewSize * 2);
    QFile::remove(suggested);
    log.answer = QMessageBox::Cancel;
    window->runCommand(CLumidorDlg::CmdExportPicture);
    EXPECT_FALSE(QFile::exists(suggested)) << "Cancel writes nothing";
    setDialogHook({});

    log.seen.clear();
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/x.csv"));
    EXPECT_FALSE(window->exportTraceTo(nowhere));
    EXPECT_FALSE(window->exportPictureTo(dir.filePath(QStringLiteral("no/such/folder/x.png")), false));
    ASSERT_EQ(log.seen.size(), 2u);
    EXPECT_EQ(log.seen[0].text, loadText(text::ErrorExportingTrace).arg(nowhere));
    EXPECT_TRUE(log.seen[1].text.contains(QStringLiteral("x.png")));
    EXPECT_EQ(log.seen[0].icon, QMessageBox::Warning);
}

TEST_F(MainWindowTest, BatchPreparationBetweenOpenAndSaveLeavesTheSavedBytes)
{
    MessageLog log;
    const QStringList paths = writeSamples(3);
    load({paths[1]});
    const QString before = dir.filePath(QStringLiteral("before.sor"));
    const QString after = dir.filePath(QStringLiteral("after.sor"));
    ASSERT_TRUE(window->saveTraceTo(before));

    window->runCommand(CLumidorDlg::CmdBatch);
    CDlgBatchDeal *batch = window->batchDialog();
    batch->FolderSelected(dir.path());
    batch->SelectAll();
    batch->Add();
    ASSERT_TRUE(batch->Prepare());
    ASSERT_GE(batch->preparedCount(), 3);
    batch->thumbnail()->setPath(paths[2]);
    ASSERT_TRUE(batch->thumbnail()->ensureLoaded());

    ASSERT_TRUE(window->saveTraceTo(after));
    QFile a(before), b(after);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    EXPECT_EQ(loaded(), 1);
    EXPECT_TRUE(log.seen.empty());
}

TEST_F(MainWindowTest, BatchDialogIsMadeOnceAndPreviewsItsPreparedSlots)
{
    MessageLog log;
    const QStringList paths = writeSamples(3);
    window->runCommand(CLumidorDlg::CmdBatch);
    CDlgBatchDeal *batch = window->batchDialog();
    ASSERT_NE(batch, nullptr);
    EXPECT_TRUE(batch->isVisible());
    window->runCommand(CLumidorDlg::CmdBatch);
    EXPECT_EQ(window->batchDialog(), batch);

    batch->FolderSelected(dir.path());
    ASSERT_EQ(batch->fileList()->rowCount(), 3);
    batch->SelectAll();
    batch->Add();
    ASSERT_EQ(batch->selectedFiles().size(), 3u);
    EXPECT_EQ(session.g_iniConfig.ReadText(QStringLiteral("GlobalSetting"), QStringLiteral("SorFilePath"), QString()),
              dir.path()) << "remembered in the run's configuration";
    batch->printTypeBox()->setCurrentIndex(2);
    batch->PrintPreview();
    for (int spins = 0; spins < 10000 && batch->preparing(); ++spins)
        QCoreApplication::processEvents();
    CPrintFrame *frame = openFrame();
    ASSERT_NE(frame, nullptr);
    const PrintJob job = frame->job();
    EXPECT_EQ(frame->owner(), batch);
    EXPECT_EQ(job.batchFlag, 1);
    EXPECT_EQ(job.printType, batch->printType());
    EXPECT_EQ(job.count, 3);
    ASSERT_EQ(job.slots.size(), 3u);
    EXPECT_TRUE(job.slots[0]->loaded);

    EXPECT_TRUE(job.summaryRows.empty());

    // The next preparation makes new slots; the open preview keeps its own.
    batch->Prepare();
    EXPECT_TRUE(frame->job().slots[2]->loaded);
    EXPECT_EQ(loaded(), 0) << "batch loads never reach the main window's traces";
    delete frame;

    // With the summary page: one row per prepared file before the reports.
    batch->summaryPageBox()->setChecked(true);
    batch->PrintPreview();
    for (int spins = 0; spins < 10000 && batch->preparing(); ++spins)
        QCoreApplication::processEvents();
    frame = openFrame();
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->job().summaryRows.size(), 3u);
    EXPECT_TRUE(frame->job().summaryRows[0].readable);
    EXPECT_EQ(pageCount(frame->job()), 1 + pageCount(job));
    delete frame;
    EXPECT_TRUE(log.seen.empty());
}

TEST_F(MainWindowTest, KeysRunTheMenuCommandsWhereverTheFocusIs)
{
    MessageLog log;
    load(writeSamples(1));
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->eventList()->setFocus();
    const TraceViewState &s = window->traceView()->state();
    const float fullWidth = s.xMax - s.xMin;
    const float fullHeight = s.yMax - s.yMin;

    QStringList asked;
    setDialogHook([&](QDialog &dialog) {
        asked << dialog.objectName();
        return int(QDialog::Rejected);
    });
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    setDialogHook({});
    EXPECT_EQ(asked, (QStringList{QStringLiteral("openDialog"), QStringLiteral("saveDialog")}));

    QTest::keyClick(window.get(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_LT(s.xMax - s.xMin, fullWidth);
    const float once = s.xMax - s.xMin;
    QTest::keyClick(window.get(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_LT(s.xMax - s.xMin, once) << "Ctrl+= for keyboards whose plus needs Shift";
    QTest::keyClick(window.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(s.xMax - s.xMin, once);
    QTest::keyClick(window.get(), Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_LT(s.yMax - s.yMin, fullHeight);
    QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(s.xMax - s.xMin, fullWidth);
    EXPECT_FLOAT_EQ(s.yMax - s.yMin, fullHeight);

    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    CPrintFrame *frame = openFrame();
    ASSERT_NE(frame, nullptr);
    delete frame;

    EXPECT_TRUE(log.seen.empty());
    log.answer = QMessageBox::Cancel;
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_EQ(log.seen[0].text, loadText(124));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, MenusNameTheirKeys)
{
    struct Case {
        int command;
        QString key;
    } cases[] = {
        {CLumidorDlg::CmdOpen, QStringLiteral("Ctrl+O")},
        {CLumidorDlg::CmdSave, QStringLiteral("Ctrl+S")},
        {CLumidorDlg::CmdPrintPreview, QStringLiteral("Ctrl+Shift+P")},
        {CLumidorDlg::CmdPrint, QStringLiteral("Ctrl+P")},
        {CLumidorDlg::CmdExit, QStringLiteral("Ctrl+Q")},
        {CLumidorDlg::CmdHZoomIn, QStringLiteral("Ctrl++")},
        {CLumidorDlg::CmdHZoomOut, QStringLiteral("Ctrl+-")},
        {CLumidorDlg::CmdVZoomIn, QStringLiteral("Ctrl+Shift+Up")},
        {CLumidorDlg::CmdVZoomOut, QStringLiteral("Ctrl+Shift+Down")},
        {CLumidorDlg::CmdFullView, QStringLiteral("Ctrl+0")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(window->action(c.command)->shortcut().toString(), c.key) << c.command;
    // The arrow keys stay the trace view's: the menu only shows them.
    EXPECT_TRUE(window->action(CLumidorDlg::CmdMoveLeft)->shortcut().isEmpty());
    EXPECT_TRUE(window->action(CLumidorDlg::CmdMoveLeft)->text().endsWith(QStringLiteral("\tLeft")));
    EXPECT_TRUE(window->action(CLumidorDlg::CmdMoveRight)->text().endsWith(QStringLiteral("\tRight")));
    EXPECT_EQ(window->action(CLumidorDlg::CmdExportEvents)->text(), loadText(344));
    EXPECT_EQ(window->action(CLumidorDlg::CmdFullView)->text(), loadText(348));
}

TEST_F(MainWindowTest, EscapeClosesWithoutAsking)
{
    MessageLog log;
    window->show();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(log.seen.empty());
}

TEST_F(MainWindowTest, SaveWritesAReadableFileAndReportsAFailedWrite)
{
    MessageLog log;
    load(writeSamples(1));
    const QString target = dir.filePath(QStringLiteral("saved.sor"));
    EXPECT_TRUE(window->saveTraceTo(target));
    EXPECT_TRUE(log.seen.empty());
    SorRecord back;
    CSorFileBase file;
    ASSERT_EQ(file.ReadFile(target, back), 1);
    EXPECT_EQ(back.traces.at(0).points, session.traceSet.slots[0].trace->samples);

    EXPECT_FALSE(window->saveTraceTo(dir.filePath(QStringLiteral("no/such/folder/x.sor"))));
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_EQ(log.seen[0].caption, "Kestrelle");
    EXPECT_EQ(log.seen[0].text, "Error saving file");
    EXPECT_EQ(log.seen[0].icon, QMessageBox::Warning);
}

TEST_F(MainWindowTest, EditDialogRewritesOnlyTheFibreInformation)
{
    MessageLog log;
    const QStringList paths = writeSamples(1);
    load(paths);
    CSorFileBase file;
    SorRecord before;
    ASSERT_EQ(file.ReadFile(paths[0], before), 1);

    TraceSlot &slot = session.traceSet.slots[0];
    slot.trace->fiberType = 654; // unknown code: shows single-mode, stored as 652 untouched
    CDlgEdit dialog(slot, &loadText);
    EXPECT_EQ(dialog.findChild<QComboBox *>(QStringLiteral("1054"))->currentIndex(), 1);
    dialog.findChild<QLineEdit *>(QStringLiteral("1028"))->setText(QStringLiteral("Cable 7"));
    dialog.findChild<QLineEdit *>(QStringLiteral("1050"))->setText(QStringLiteral("F-12"));
    dialog.findChild<QLineEdit *>(QStringLiteral("1051"))->setText(QStringLiteral("Ann Example"));
    QTest::mouseClick(dialog.findChild<QWidget *>(QStringLiteral("1")), Qt::LeftButton);
    EXPECT_TRUE(log.seen.empty());
    EXPECT_EQ(slot.trace->cableId, "Cable 7");
    EXPECT_EQ(slot.trace->fiberType, 652);

    SorRecord after;
    ASSERT_EQ(file.ReadFile(paths[0], after), 1);
    // The measurement itself is untouched: points, events and acquisition values.
    EXPECT_EQ(after.traces.at(0).points, before.traces.at(0).points);
    ASSERT_EQ(after.events.size(), before.events.size());
    for (size_t i = 0; i < after.events.size(); ++i) {
        EXPECT_EQ(after.events[i].time, before.events[i].time);
        EXPECT_EQ(after.events[i].loss, before.events[i].loss);
        EXPECT_EQ(after.events[i].code, before.events[i].code);
        EXPECT_EQ(after.events[i].comment, before.events[i].comment);
    }
    EXPECT_EQ(after.sampleSpacing, before.sampleSpacing);
    EXPECT_EQ(after.pulseWidthNs, before.pulseWidthNs);
    EXPECT_EQ(after.timestamp, before.timestamp);
    TraceData reread;
    loadTrace(after, reread, nullptr);
    EXPECT_EQ(reread.cableId, "Cable 7");
    EXPECT_EQ(reread.fiberId, "F-12");
    EXPECT_EQ(reread.operatorName, "Ann Example");
}

// A file of issue 1 opens with its events; editing its fibre information asks before the file
// is rewritten as issue 2, and Cancel leaves file and trace as they were.
TEST_F(MainWindowTest, EditOfAnIssue1FileAsksBeforeRewritingIt)
{
    const QString path = dir.filePath(QStringLiteral("old.sor"));
    const QByteArray original = sortest::issue1File(sortest::issue1Blocks());
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
    MessageLog log;
    load({path});
    ASSERT_EQ(loaded(), 1);
    EXPECT_TRUE(log.seen.empty());
    TraceSlot &slot = session.traceSet.slots[0];
    EXPECT_EQ(slot.trace->events.size(), 3u);
    EXPECT_EQ(window->eventRowCount(), 2); // the list starts after the first event

    const auto editCable = [&](QMessageBox::StandardButton answer) {
        log.answer = answer;
        log.seen.clear();
        CDlgEdit dialog(slot, &loadText);
        dialog.findChild<QLineEdit *>(QStringLiteral("1028"))->setText(QStringLiteral("New cable"));
        dialog.accept();
        EXPECT_EQ(log.seen.size(), 1u);
        if (!log.seen.empty()) {
            EXPECT_EQ(log.seen[0].text, QStringLiteral("The file will be rewritten in issue 2 format"));
            EXPECT_EQ(log.seen[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        }
        return dialog.result();
    };
    EXPECT_EQ(editCable(QMessageBox::Cancel), QDialog::Rejected);
    EXPECT_EQ(slot.trace->cableId, QStringLiteral("CABLE-1"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == original);
    f.close();

    EXPECT_EQ(editCable(QMessageBox::Ok), QDialog::Accepted);
    EXPECT_EQ(slot.trace->cableId, QStringLiteral("New cable"));
    EXPECT_EQ(sorFileIssue(path), 2);
    CSorFileBase sor;
    SorRecord back;
    ASSERT_EQ(sor.ReadFile(path, back), 1);
    EXPECT_EQ(back.events.size(), 3u);
    EXPECT_TRUE(back.infoTexts.contains(QStringLiteral("CableID=New cable")));

    // Now issue 2: a further edit writes without asking.
    log.seen.clear();
    CDlgEdit again(slot, &loadText);
    again.accept();
    EXPECT_TRUE(log.seen.empty());
}

TEST_F(MainWindowTest, EditDialogReportsAFailedWriteAndKeepsTheTexts)
{
    MessageLog log;
    load(writeSamples(1));
    TraceSlot &slot = session.traceSet.slots[0];
    slot.filePath = dir.filePath(QStringLiteral("gone/away.sor"));
    CDlgEdit dialog(slot, &loadText);
    dialog.findChild<QLineEdit *>(QStringLiteral("1028"))->setText(QStringLiteral("C2"));
    dialog.accept();
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_EQ(log.seen[0].text, "Error saving file");
    EXPECT_EQ(log.seen[0].caption, "Kestrelle");
    EXPECT_EQ(slot.trace->cableId, "C2");
}

TEST_F(MainWindowTest, EditDialogKeepsTheFibreTypeUnlessChanged)
{
    MessageLog log;
    load(writeSamples(1));
    TraceSlot &slot = session.traceSet.slots[0];
    auto saveWith = [&](int code, const std::function<void(QComboBox *)> &edit, TextLookup texts = &loadText) {
        slot.trace->fiberType = code;
        CDlgEdit dialog(slot, texts);
        edit(dialog.findChild<QComboBox *>(QStringLiteral("1054")));
        dialog.accept();
        return slot.trace->fiberType;
    };
    const auto untouched = [](QComboBox *) {};
    for (int code : {651, 652, 653, 655})
        EXPECT_EQ(saveWith(code, untouched), code);
    EXPECT_EQ(saveWith(651, [](QComboBox *box) { box->setCurrentIndex(3); }), 655);
    EXPECT_EQ(saveWith(655, [](QComboBox *box) { box->setEditText(QStringLiteral("Ribbon")); }), 652);

    // Without texts the four items all read empty; the shown item still counts.
    for (int code : {651, 653, 655})
        EXPECT_EQ(saveWith(code, untouched, TextLookup()), code);
    EXPECT_EQ(saveWith(655, [](QComboBox *box) { box->setCurrentIndex(2); }, TextLookup()), 653);
    EXPECT_TRUE(log.seen.empty());
}

TEST(FibreTypeItems, CodesAndItemsMap)
{
    testApp();
    struct Case {
        int code, item;
    } cases[] = {{651, 0}, {652, 1}, {653, 2}, {655, 3}, {654, 1}, {0, 1}};
    for (const Case &c : cases)
        EXPECT_EQ(CDlgEdit::itemForFiberType(c.code), c.item) << c.code;
    EXPECT_EQ(CDlgEdit::fiberTypeForItem(0), 651);
    EXPECT_EQ(CDlgEdit::fiberTypeForItem(1), 652);
    EXPECT_EQ(CDlgEdit::fiberTypeForItem(2), 653);
    EXPECT_EQ(CDlgEdit::fiberTypeForItem(3), 655);
    EXPECT_EQ(CDlgEdit::fiberTypeForItem(-1), 652);
}

} // namespace

namespace {

TEST_F(MainWindowTest, AddAndDeleteEventsThroughTheLibrary)
{
    ASSERT_NE(session.analysis.insertEvent, nullptr) << "libQM7ZZZ.so beside the tests";
    load(writeSamples(1));
    TraceData &t = *session.traceSet.slots[0].trace;
    const size_t before = t.events.size();
    COtdrTrace *view = window->traceView();

    // Both cursors active: nothing happens.
    view->setActiveCursor(3);
    window->runCommand(CLumidorDlg::CmdAddEvent);
    EXPECT_EQ(t.events.size(), before);

    // Cursor A between the splice and the connector: one more event, list and marks follow.
    view->setActiveCursor(1);
    view->state().cursorA.distance = 0.45f * 5000.0f;
    QTest::mouseClick(window->toolbar()->button(CSubDlgToolbar::IdAddEvent), Qt::LeftButton);
    ASSERT_EQ(t.events.size(), before + 1);
    EXPECT_EQ(window->eventRowCount(), static_cast<int>(before));
    EXPECT_EQ(view->state().current()->markers.size(), t.events.size());
    const auto added = std::find_if(t.events.begin(), t.events.end(), [&](const TraceEvent &e) {
        return std::fabs(e.distance - 0.45f * 5000.0f) < 2.0f * t.sampleSpacing;
    });
    ASSERT_NE(added, t.events.end());
    const int addedRow = static_cast<int>(added - t.events.begin()) - 1;

    // Deleting the event just added selects the row above it.
    window->selectEventRow(addedRow);
    window->runCommand(CLumidorDlg::CmdDeleteEvent);
    EXPECT_EQ(t.events.size(), before);
    EXPECT_EQ(window->eventRowCount(), static_cast<int>(before) - 1);
    EXPECT_EQ(window->firstSelectedEventRow(), std::max(addedRow - 1, 0));
    EXPECT_EQ(view->state().current()->markers.size(), before);

    // No row selected: nothing.
    window->eventList()->clearSelection();
    window->runCommand(CLumidorDlg::CmdDeleteEvent);
    EXPECT_EQ(t.events.size(), before);
}

// A file of 120 events, more than the library's list holds: every event is listed with its
// cumulative loss, and Add or Delete event is refused with a message that changes nothing, also
// when the slot held a short file before.
TEST_F(MainWindowTest, TracesOfMoreThan100EventsAreShownWholeAndNotEdited)
{
    ASSERT_NE(session.analysis.insertEvent, nullptr) << "libQM7ZZZ.so beside the tests";
    const QStringList shortFile = writeSamples(1);
    gen::Options o;
    o.pointCount = 64000;
    for (int i = 1; i <= 119; ++i)
        o.events.push_back({gen::EventKind::Splice, 200.0 * i, 0.05, 0.0});
    o.events.push_back({gen::EventKind::End, 24200.0, 0.0, -40.0});
    const QString longPath = dir.filePath(QStringLiteral("long120.sor"));
    ASSERT_EQ(CSorFileBase().SaveFile(longPath, gen::generate(o).record), 1);

    // The short file first, removed, then the long one into the same slot.
    load(shortFile);
    ASSERT_GT(session.traceSet.slots[0].trace->eventList.count, 0);
    window->infoPanel()->ClearAll();
    load({longPath});
    ASSERT_EQ(session.traceSet.currentSlot, 0);
    TraceData &t = *session.traceSet.slots[0].trace;
    ASSERT_EQ(t.events.size(), 120u);
    EXPECT_EQ(t.eventList.count, 0) << "nothing of the short file's list";
    ASSERT_EQ(window->eventRowCount(), 119);
    const QString lastTotal = window->eventList()->item(118, 4)->text();
    EXPECT_NE(lastTotal, QStringLiteral("--"));
    EXPECT_GT(lastTotal.toDouble(), 5.0);

    MessageLog log;
    const std::vector<TraceEvent> before = t.events;
    COtdrTrace *view = window->traceView();
    view->setActiveCursor(1);
    view->state().cursorA.distance = 2100.0f;
    window->runCommand(CLumidorDlg::CmdAddEvent);
    window->selectEventRow(3);
    window->runCommand(CLumidorDlg::CmdDeleteEvent);
    ASSERT_EQ(log.seen.size(), 2u);
    EXPECT_EQ(log.seen[0].text, loadText(text::TooManyEventsToEdit));
    EXPECT_EQ(log.seen[1].text, loadText(text::TooManyEventsToEdit));
    ASSERT_EQ(t.events.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(t.events[i].distance, before[i].distance) << "event " << i;
    EXPECT_EQ(window->eventRowCount(), 119);
    EXPECT_EQ(view->state().current()->markers.size(), 120u);
}

TEST_F(MainWindowTest, WithoutTheLibraryEventsStayAsTheyAre)
{
    load(writeSamples(1));
    TraceData &t = *session.traceSet.slots[0].trace;
    const size_t before = t.events.size();
    session.analysis = EventAnalysisBinding{}; // this session has no library
    window->traceView()->state().cursorA.distance = 2000.0f;
    window->runCommand(CLumidorDlg::CmdAddEvent);
    window->selectEventRow(0);
    window->runCommand(CLumidorDlg::CmdDeleteEvent);
    EXPECT_EQ(t.events.size(), before);
    EXPECT_EQ(window->eventRowCount(), static_cast<int>(before) - 1);
}

// Strongly red pixels of the view (the verdict text is red).
int redPixels(COtdrTrace *view)
{
    const QImage image = view->renderToImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
        }
    return count;
}

TEST_F(MainWindowTest, TheViewShowsTheVerdictOfTheCurrentTrace)
{
    window->show();
    QApplication::processEvents();
    load(writeSamples(1));
    ASSERT_GT(window->traceView()->width(), 400);
    PassThresholds off;
    off.IncludeReflection = off.IncludeNonReflection = off.IncludeTotalLoss = off.IncludeReturnLoss =
        off.IncludeAvg = false;
    session.passThresholds = off;
    EXPECT_EQ(currentVerdict(session), 0);
    const int without = redPixels(window->traceView());

    PassThresholds strict = off;
    strict.IncludeNonReflection = true;
    strict.NonReflection = 0.01f; // the 0.15 dB splice fails
    session.passThresholds = strict;
    EXPECT_EQ(currentVerdict(session), 2);
    EXPECT_GT(redPixels(window->traceView()), without + 100);
}

TEST(PassDialog, ShowsStoredThresholdsAndSavesWhatIsTyped)
{
    testApp();
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Config.ini"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[PassThrd]\r\nIncludeTotalLoss=0\r\nTotalLoss=0.05\r\nReturnLoss=-30\r\n");
    f.close();

    PassThresholds passThresholds;
    {
        CDlgPass dialog(ini, passThresholds, &loadText);
        auto edit = [&](int id) { return dialog.findChild<QLineEdit *>(QString::number(id)); };
        auto check = [&](int id) { return dialog.findChild<QCheckBox *>(QString::number(id)); };
        EXPECT_EQ(edit(CDlgPass::IdTotalLossEdit)->text(), "20.0"); // below 0.1 reads as 20
        EXPECT_EQ(edit(CDlgPass::IdReturnLossEdit)->text(), "-30.0");
        EXPECT_EQ(edit(CDlgPass::IdReflectionEdit)->text(), "0.50");
        EXPECT_EQ(edit(CDlgPass::IdAvg1310)->text(), "0.400");
        EXPECT_FALSE(check(CDlgPass::IdTotalLoss)->isChecked());
        EXPECT_TRUE(check(CDlgPass::IdReflection)->isChecked());

        check(CDlgPass::IdReflection)->setChecked(false);
        edit(CDlgPass::IdNonReflectionEdit)->setText(QStringLiteral("0.35 dB"));
        edit(CDlgPass::IdAvg1550)->setText(QStringLiteral("abc"));
        QTest::mouseClick(dialog.findChild<QWidget *>(QStringLiteral("1")), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_FALSE(passThresholds.IncludeReflection);
    EXPECT_FLOAT_EQ(passThresholds.NonReflection, 0.35f);
    EXPECT_FLOAT_EQ(passThresholds.AvgLoss1550, 0.0f); // used as typed until read again

    PassThresholds back;
    ReadPassThresholds(ini, back);
    EXPECT_FALSE(back.IncludeReflection);
    EXPECT_FLOAT_EQ(back.NonReflection, 0.35f);
    EXPECT_FLOAT_EQ(back.AvgLoss1550, 0.3f); // the stored 0 reads back as the default
    EXPECT_FLOAT_EQ(back.ReturnLoss, -30.0f);

    // Cancel writes nothing.
    const QByteArray stored = [&] {
        QFile g(ini);
        g.open(QIODevice::ReadOnly);
        return g.readAll();
    }();
    {
        CDlgPass dialog(ini, passThresholds, &loadText);
        dialog.findChild<QLineEdit *>(QString::number(CDlgPass::IdTotalLossEdit))->setText(QStringLiteral("3"));
        dialog.reject();
    }
    QFile g(ini);
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll(), stored);
}

TEST(PassDialog, LeadingNumbers)
{
    struct Case {
        const char *text;
        float value;
    } cases[] = {{"0.5", 0.5f},   {"  -40", -40.0f}, {"1.25dB", 1.25f}, {"", 0.0f},
                 {"abc", 0.0f},   {"inf", 0.0f},     {"0x10", 0.0f},    {"+.5", 0.5f},
                 {"1e1", 10.0f},  {"-", 0.0f},      {"1e39", 0.0f},    {"-1e39", 0.0f},
                 {"2.5e-1x", 0.25f}, {"0.30,5", 0.3f}};
    for (const Case &c : cases)
        EXPECT_FLOAT_EQ(CDlgPass::leadingNumber(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(PassDialog, LeadingNumbersIgnoreTheDesktopLocale)
{
    // The application object takes the desktop's locale; a comma-decimal one must not turn
    // "0.50" into 0.
    CommaDecimalLocale commaLocale;
    const float value = CDlgPass::leadingNumber(QStringLiteral("0.50"));
    commaLocale.restore();
    if (!commaLocale.active())
        GTEST_SKIP() << "no comma-decimal locale available";
    EXPECT_FLOAT_EQ(value, 0.5f);
}

TEST(CommandLine, FilesAndOptions)
{
    const auto o = CLumidorApp::parseArguments({"Lumidor", "a.sor", "--quit-after-first-paint", "/x/b.SOR"});
    EXPECT_TRUE(o.quitAfterFirstPaint);
    ASSERT_EQ(o.files.size(), 2);
    EXPECT_TRUE(QFileInfo(o.files[0]).isAbsolute());
    EXPECT_TRUE(o.files[0].endsWith(QLatin1String("/a.sor")));
    EXPECT_EQ(o.files[1], "/x/b.SOR");
    EXPECT_TRUE(o.error.isEmpty());

    EXPECT_FALSE(CLumidorApp::parseArguments({"Lumidor", "--frobnicate"}).error.isEmpty());
    const auto dashed = CLumidorApp::parseArguments({"Lumidor", "--", "--odd-name.sor"});
    EXPECT_TRUE(dashed.error.isEmpty());
    EXPECT_EQ(dashed.files.size(), 1);

    // What the program prints for each, word for word.
    struct Case {
        QStringList arguments;
        QString error;
        bool help;
        int files;
    };
    const Case cases[] = {
        {{"Lumidor", "-x"}, "unknown option -x", false, 0},
        {{"Lumidor", "-abc", "a.sor"}, "unknown option -abc", false, 0},
        {{"Lumidor", "--quit-after-first-paint=1"}, "unknown option --quit-after-first-paint=1", false, 0},
        {{"Lumidor", "-h"}, "", true, 0},
        {{"Lumidor", "--help", "a.sor"}, "", true, 1},
        {{"Lumidor", "-", "a.sor"}, "", false, 2},
        {{"Lumidor", "--", "-h"}, "", false, 1},
    };
    for (const Case &c : cases) {
        const auto o = CLumidorApp::parseArguments(c.arguments);
        EXPECT_EQ(o.error, c.error) << c.arguments.join(' ').toStdString();
        if (c.error.isEmpty()) {
            EXPECT_EQ(o.help, c.help) << c.arguments.join(' ').toStdString();
            EXPECT_EQ(o.files.size(), c.files) << c.arguments.join(' ').toStdString();
        }
    }
}

} // namespace

namespace {

TEST(StartUp, MissingTextLibraryIsToldOnceAndTheWindowStillOpens)
{
    testApp();
    QTemporaryDir empty;
    Session session;
    session.binFolder = empty.path();
    MessageLog log;
    {
        CLumidorDlg window(session);
        window.OnInitDialog(false);
        ASSERT_EQ(log.seen.size(), 1u);
        EXPECT_EQ(log.seen[0].text, QString::fromUtf8("加载资源文件失败，请检查"));
        EXPECT_TRUE(window.windowTitle().isEmpty());
        EXPECT_TRUE(window.action(CLumidorDlg::CmdOpen)->text().isEmpty());
        EXPECT_EQ(window.action(CLumidorDlg::CmdPassFail)->text(), "Pass/Fail");
        // Without Config.ini the unit is the empty text: the list shows row numbers.
        EXPECT_TRUE(session.distanceUnit.isEmpty());
        EXPECT_TRUE(session.multiTraceMode);
    }
}

} // namespace

namespace {

class MainWindowKeys : public MainWindowTest {};

TEST_F(MainWindowKeys, EnterInTheMainWindowRemovesNothing)
{
    window->show();
    QApplication::processEvents();
    load(writeSamples(2));
    window->eventList()->setFocus();
    QTest::keyClick(window->eventList(), Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Enter);
    EXPECT_EQ(loaded(), 2);
    EXPECT_TRUE(window->isVisible());
}

} // namespace

namespace {

TEST_F(MainWindowTest, SaveWithNothingLoadedAsksNothing)
{
    QStringList asked;
    setDialogHook([&](QDialog &dialog) {
        asked << dialog.objectName();
        return int(QDialog::Rejected);
    });
    window->runCommand(CLumidorDlg::CmdSave);
    EXPECT_TRUE(asked.isEmpty());

    // With a trace the same command asks for the file name.
    load(writeSamples(1));
    window->runCommand(CLumidorDlg::CmdSave);
    setDialogHook({});
    EXPECT_EQ(asked, QStringList{QStringLiteral("saveDialog")});
}

} // namespace

// A file that stores no events shows the analysed ones and says so; Analyze trace with other
// thresholds changes them, Undo takes each change back, and Save writes what is shown.
TEST_F(MainWindowTest, AnalyzeTraceAndUndo)
{
    ASSERT_NE(session.analysis.eventAnalysis, nullptr) << "libQM7ZZZ.so beside the tests";
    gen::Trace t = sampleTrace(5000.0, 4);
    t.record.events.clear();
    const QString path = dir.filePath(QStringLiteral("bare.sor"));
    CSorFileBase file;
    ASSERT_EQ(file.SaveFile(path, t.record), 1);
    load({path});
    TraceData &trace = *session.traceSet.slots[0].trace;
    ASSERT_EQ(trace.events.size(), 4u) << "start, splice, connector and end found on opening";
    EXPECT_TRUE(trace.eventsFromAnalysis);
    EXPECT_EQ(window->infoPanel()->valueText(CSubDlgInfo::IdEventsSource), loadText(text::EventsFromAnalysis));
    EXPECT_EQ(window->eventRowCount(), 3);

    // Thresholds of the user's own: the 0.15 dB splice is no longer an event.
    session.analysisSettings.useFileThresholds = false;
    session.analysisSettings.lossDb = 0.3f;
    session.analysisSettings.reflectanceDb = -20.0f;
    window->runCommand(CLumidorDlg::CmdAnalyzeTrace);
    EXPECT_EQ(trace.events.size(), 3u);
    EXPECT_EQ(window->eventRowCount(), 2);
    EXPECT_EQ(window->traceView()->state().current()->markers.size(), 3u);

    // An added event, then Undo twice: first the add, then the re-analysis.
    COtdrTrace *view = window->traceView();
    view->setActiveCursor(1);
    view->state().cursorA.distance = 2000.0f;
    window->runCommand(CLumidorDlg::CmdAddEvent);
    EXPECT_EQ(trace.events.size(), 4u);
    window->runCommand(CLumidorDlg::CmdUndo);
    EXPECT_EQ(trace.events.size(), 3u);
    window->runCommand(CLumidorDlg::CmdUndo);
    ASSERT_EQ(trace.events.size(), 4u);
    EXPECT_NEAR(trace.events[1].distance, 1500.0f, 10.0f) << "the splice is back";
    window->runCommand(CLumidorDlg::CmdUndo);
    EXPECT_EQ(trace.events.size(), 4u) << "nothing more to take back";

    // Save writes the events shown; the saved file stores them.
    window->runCommand(CLumidorDlg::CmdAnalyzeTrace);
    const QString saved = dir.filePath(QStringLiteral("saved.sor"));
    ASSERT_TRUE(window->saveTraceTo(saved));
    SorRecord record;
    ASSERT_EQ(file.ReadFile(saved, record), 1);
    EXPECT_EQ(record.events.size(), 3u);
}

// Cursor > Measurement: the readout names the mode and measures with it.
TEST_F(MainWindowTest, MeasurementModesInTheReadout)
{
    load(writeSamples(1));
    COtdrTrace *view = window->traceView();
    view->state().cursorA.distance = 1600.0f;
    view->state().cursorB.distance = 2900.0f;
    const struct {
        int command;
        const char *prefix;
    } cases[] = {
        {CLumidorDlg::CmdMeasureLsa, "A-B LSA:"},
        {CLumidorDlg::CmdMeasureSplice, "A-B Splice:"},
        {CLumidorDlg::CmdMeasureTwoPoint, "A-B:"},
    };
    for (const auto &c : cases) {
        window->runCommand(c.command);
        view->state().UpdateCursorTexts(QStringLiteral("m"));
        EXPECT_TRUE(view->state().abReadoutText().startsWith(QLatin1String(c.prefix)))
            << view->state().abReadoutText().toStdString();
        EXPECT_TRUE(window->findChild<QAction *>(QStringLiteral("action%1").arg(c.command))->isChecked());
    }
    // LSA over a stretch of fibre without events: its attenuation, near the generator's 0.19 dB/km.
    window->runCommand(CLumidorDlg::CmdMeasureLsa);
    view->state().UpdateCursorTexts(QStringLiteral("m"));
    const QString slope = view->state().abReadout.slopeText;
    EXPECT_NEAR(slope.split(QLatin1Char(' ')).front().toDouble(), 0.19, 0.02) << slope.toStdString();
}

TEST(AnalysisThresholdsDialog, EditsTheSettingsOnlyOnOk)
{
    testApp();
    AnalysisSettings settings;
    {
        CDlgAnalysisThresholds dialog(settings, &loadText);
        dialog.findChild<QCheckBox *>(QStringLiteral("useFileThresholds"))->setChecked(false);
        dialog.findChild<QDoubleSpinBox *>(QStringLiteral("lossThreshold"))->setValue(0.2);
        dialog.findChild<QDoubleSpinBox *>(QStringLiteral("endThreshold"))->setValue(6.0);
        dialog.reject();
    }
    EXPECT_TRUE(settings.useFileThresholds);
    {
        CDlgAnalysisThresholds dialog(settings, &loadText);
        dialog.findChild<QCheckBox *>(QStringLiteral("useFileThresholds"))->setChecked(false);
        dialog.findChild<QDoubleSpinBox *>(QStringLiteral("lossThreshold"))->setValue(0.2);
        dialog.findChild<QDoubleSpinBox *>(QStringLiteral("endThreshold"))->setValue(6.0);
        dialog.accept();
    }
    EXPECT_FALSE(settings.useFileThresholds);
    EXPECT_FLOAT_EQ(settings.lossDb, 0.2f);
    EXPECT_FLOAT_EQ(settings.endDb, 6.0f);

    // Through Config.ini and back, a magnitude taken as a negative reflectance.
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Config.ini"));
    settings.reflectanceDb = -55.0f;
    ASSERT_TRUE(saveAnalysisSettings(ini, settings));
    CMemIniFile read;
    read.AttachFile(ini);
    const AnalysisSettings back = readAnalysisSettings(read);
    EXPECT_FALSE(back.useFileThresholds);
    EXPECT_FLOAT_EQ(back.lossDb, 0.2f);
    EXPECT_FLOAT_EQ(back.reflectanceDb, -55.0f);
    EXPECT_FLOAT_EQ(back.endDb, 6.0f);
}

namespace {

// What one command brought to the widgets: the document's notices, the trace view's curve
// builds (a pass over a trace's samples) and the overview panel's point builds.
struct Reach {
    int notices = 0;
    uint64_t curvesBuilt = 0;
    uint64_t overviewBuilds = 0;
    DocumentChange last;
};

class NoticeCount {
public:
    NoticeCount(Session &session, CLumidorDlg &window) : m_session(session), m_window(window)
    {
        m_id = session.document.subscribe([this](const DocumentChange &c) {
            ++m_notices;
            m_last = c;
        });
        start();
    }
    ~NoticeCount() { m_session.document.unsubscribe(m_id); }

    // Counts from now.
    void start()
    {
        m_notices = 0;
        m_curves = m_window.traceView()->state().curvesBuilt();
        m_overview = m_window.overviewPanel()->builds();
    }
    Reach reach() const
    {
        return {m_notices, m_window.traceView()->state().curvesBuilt() - m_curves,
                m_window.overviewPanel()->builds() - m_overview, m_last};
    }

private:
    Session &m_session;
    CLumidorDlg &m_window;
    int m_id = 0;
    int m_notices = 0;
    uint64_t m_curves = 0;
    uint64_t m_overview = 0;
    DocumentChange m_last;
};

TEST_F(MainWindowTest, EachCommandReachesTheWidgetsThroughOneNotice)
{
    ASSERT_NE(session.analysis.insertEvent, nullptr) << "libQM7ZZZ.so beside the tests";
    MessageLog log;
    const QStringList paths = writeSamples(4);
    COtdrTrace *view = window->traceView();
    int dialogs = 0;
    setDialogHook([&](QDialog &) {
        ++dialogs;
        return int(QDialog::Accepted);
    });
    NoticeCount count(session, *window);

    struct Step {
        const char *name;
        std::function<void()> run;
        uint64_t curvesBuilt;    // curves built from the document's samples
        uint64_t overviewBuilds; // overview points built
        std::function<bool(const DocumentChange &)> names;
    };
    const Step steps[] = {
        {"Open three files", [&] { window->openPaths(paths.mid(0, 3)); }, 3, 1,
         [](const DocumentChange &c) { return c.slots && c.current; }},
        {"Select", [&] { window->infoPanel()->SelectRow(0); }, 0, 1,
         [](const DocumentChange &c) { return c.current && !c.slots; }},
        {"Remove", [&] { window->infoPanel()->RemoveClicked(); }, 0, 1,
         [](const DocumentChange &c) { return c.slots && c.current; }},
        {"Open into the freed slot", [&] { window->openPaths({paths[3]}); }, 1, 1,
         [](const DocumentChange &c) { return c.slots; }},
        {"Edit fibre information", [&] { Q_EMIT window->infoPanel()->editRequested(); }, 0, 0,
         [](const DocumentChange &c) { return c.info && !c.slots && !c.events; }},
        {"Add event",
         [&] {
             view->setActiveCursor(1);
             view->state().cursorA.distance = 0.45f * 8000.0f;
             window->runCommand(CLumidorDlg::CmdAddEvent);
         },
         0, 0, [](const DocumentChange &c) { return c.events && !c.slots; }},
        {"Delete event",
         [&] {
             window->selectEventRow(1);
             window->runCommand(CLumidorDlg::CmdDeleteEvent);
         },
         0, 0, [](const DocumentChange &c) { return c.events && c.selectEventRow == 0; }},
        {"Pass/Fail", [&] { window->runCommand(CLumidorDlg::CmdPassFail); }, 0, 0,
         [](const DocumentChange &c) { return c.verdict && !c.slots; }},
        {"Measurement mode", [&] { window->runCommand(CLumidorDlg::CmdMeasureLsa); }, 0, 0,
         [](const DocumentChange &c) { return c.cursors && !c.slots; }},
        {"Delete all", [&] { window->infoPanel()->ClearAll(); }, 0, 1,
         [](const DocumentChange &c) { return c.slots; }},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        count.start();
        step.run();
        const Reach r = count.reach();
        EXPECT_EQ(r.notices, 1);
        EXPECT_EQ(r.curvesBuilt, step.curvesBuilt);
        EXPECT_EQ(r.overviewBuilds, step.overviewBuilds);
        EXPECT_TRUE(step.names(r.last));
        // Whatever the command, the widgets show the document afterwards.
        const TraceSet &set = session.traceSet;
        ASSERT_EQ(curves(), set.loadedCount);
        EXPECT_EQ(window->infoPanel()->rowCount(), set.loadedCount);
        EXPECT_EQ(window->overviewPanel()->trace(), session.document.currentTrace());
        if (const TraceData *current = session.document.currentTrace()) {
            EXPECT_EQ(view->state().currentCurve, set.currentSlot);
            EXPECT_EQ(view->state().current()->source, current);
            EXPECT_EQ(view->state().current()->markers.size(), current->events.size());
            EXPECT_EQ(window->infoPanel()->selectedRow(), set.currentSlot);
        }
        for (int i = 0; i < curves(); ++i)
            EXPECT_EQ(view->state().curves[static_cast<size_t>(i)].source, set.slots[static_cast<size_t>(i)].trace.get());
    }
    EXPECT_EQ(dialogs, 2) << "the edit and the pass/fail dialogs";
    EXPECT_EQ(view->state().measurementMode, MeasurementMode::Lsa);
    EXPECT_TRUE(window->action(CLumidorDlg::CmdMeasureLsa)->isChecked());
    setDialogHook({});
    EXPECT_TRUE(log.seen.empty());
}

// The view's curve is built from the loaded trace alone, the same levels the file's record
// gives; a slot reused by a file without a user offset keeps none of the previous file's.
TEST_F(MainWindowTest, CurvesComeFromTheDocumentAndAReusedSlotForgetsTheOldFile)
{
    gen::Options o;
    o.pointCount = 4000;
    o.userOffsetM = 200.0;
    o.events = {{gen::EventKind::Splice, 2000.0, 0.2, 0.0}, {gen::EventKind::End, 4000.0, 0.0, -14.0}};
    const QString withOffset = dir.filePath(QStringLiteral("offset.sor"));
    CSorFileBase file;
    ASSERT_EQ(file.SaveFile(withOffset, gen::generate(o).record), 1);
    o.userOffsetM = 0.0;
    const QString without = dir.filePath(QStringLiteral("plain.sor"));
    ASSERT_EQ(file.SaveFile(without, gen::generate(o).record), 1);

    for (const QString &path : {withOffset, without}) {
        SCOPED_TRACE(path.toStdString());
        window->infoPanel()->ClearAll();
        window->openPaths({path});
        ASSERT_EQ(curves(), 1);
        SorRecord record;
        ASSERT_EQ(file.ReadFile(path, record), 1);
        if (path == withOffset) {
            EXPECT_GT(recordUserOffset(record), 100.0f) << "the file stores its offset";
        }
        const TraceCurve &curve = window->traceView()->state().curves[0];
        const TraceData &trace = *session.traceSet.slots[0].trace;
        EXPECT_EQ(curve.levels, viewLevels(record, trace.sampleCount));
        EXPECT_EQ(curve.userOffset, recordUserOffset(record));
        EXPECT_EQ(trace.userOffset, recordUserOffset(record)) << "what a save of the trace writes";
    }
    EXPECT_EQ(session.traceSet.slots[0].trace->userOffset, 0.0f);
}

} // namespace
