#include "batch/CBatchThumbnail.h"
#include "batch/CCheckListCtrl.h"
#include "batch/BatchFiles.h"
#include "batch/CDlgBatchDeal.h"
#include "batch/CMyBtnPrintType.h"
#include "config/CMemIniFile.h"
#include "config/Configuration.h"
#include "print/DefaultCursorPair.h"
#include "trace/CSorDllUtil.h"
#include "trace/CSorFileBase.h"
#include "testsupport/TestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

QString englishText(int id)
{
    static const std::map<int, QString> texts{
        {104, "File name"},     {105, "Size(KB)"},     {106, "Date"},          {107, "Catalogue"},
        {108, "One per page"},  {109, "Two per page"}, {110, "Four per page"}, {111, "Six per page"},
        {112, "Eight per page"}, {113, "Curve loading .."}, {114, "Finish curve loading!"},
        {115, "Please select at least one .sor file!"}, {125, "Tips"}, {196, "Batch printing"},
        {347, "Summary page"}};
    auto it = texts.find(id);
    return it == texts.end() ? QString() : it->second;
}

QString samplePath(const char *name)
{
    return qEnvironmentVariable("LUMIDOR_SOURCE_DIR") + "/samples/" + name;
}

// Two folders of sample traces (one name in both) and an unreadable file; a dialog over them
// with an in-memory configuration and a recorded message hook.
class BatchDeal : public testing::Test {
protected:
    void SetUp() override
    {
        testApp();
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkpath("one"));
        ASSERT_TRUE(QDir(root.path()).mkpath("two"));
        copy("patch-2km-1310.sor", "one/patch.sor");
        copy("link-40km-1550.sor", "one/link.SOR");
        copy("link-40km-1550.sor", "two/patch.sor");
        QFile broken(root.filePath("one/broken.sor"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("this is no trace file");
        broken.close();

        BatchDealContext context;
        context.config = &config;
        context.texts = englishText;
        context.warn = [this](const QString &caption, const QString &text) { messages << caption + "|" + text; };
        context.treeRoot = root.path();
        dialog = std::make_unique<CDlgBatchDeal>(context);
        dialog->resize(dialog->sizeHint());
    }

    void copy(const char *sample, const QString &target)
    {
        ASSERT_TRUE(QFile::copy(samplePath(sample), root.filePath(target))) << sample;
    }

    QString folder(const char *name) const { return root.filePath(name); }

    int fileRow(const QString &name) const
    {
        for (int r = 0; r < dialog->fileList()->rowCount(); ++r)
            if (dialog->fileList()->text(r, 0) == name)
                return r;
        return -1;
    }

    int selectedRow(const QString &name) const
    {
        for (int r = 0; r < dialog->selectedList()->rowCount(); ++r)
            if (dialog->selectedList()->text(r, 0) == name)
                return r;
        return -1;
    }

    void clickSelected(const QString &name)
    {
        CCheckListCtrl *list = dialog->selectedList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(selectedRow(name), 0)).center());
    }

    // Lists the folder, ticks the named files and adds them.
    void addFrom(const char *sub, const QStringList &names)
    {
        dialog->FolderSelected(folder(sub));
        for (const QString &name : names) {
            const int row = fileRow(name);
            ASSERT_GE(row, 0) << name.toStdString();
            dialog->fileList()->setChecked(row, true);
        }
        dialog->Add();
        for (const QString &name : names)
            dialog->fileList()->setChecked(fileRow(name), false);
    }

    QTemporaryDir root;
    CMemIniFile config;
    QStringList messages;
    std::unique_ptr<CDlgBatchDeal> dialog;
};

TEST_F(BatchDeal, ListsTheFolderInAnyCaseAndRemembersIt)
{
    dialog->FolderSelected(folder("one"));
    EXPECT_EQ(dialog->fileList()->rowCount(), 3);
    EXPECT_GE(fileRow("link.SOR"), 0);
    EXPECT_EQ(dialog->currentFolder(), folder("one"));
    EXPECT_EQ(readSorFilePath(config), folder("one") + "/");

    dialog->FolderSelected(folder("two") + "/"); // a trailing separator is dropped from the folder
    EXPECT_EQ(dialog->currentFolder(), folder("two"));
    EXPECT_EQ(dialog->fileList()->rowCount(), 1);
}

TEST_F(BatchDeal, AddingTwiceKeepsOneRowAndTheSameNameFromAnotherFolderAddsOne)
{
    addFrom("one", {"patch.sor"});
    addFrom("one", {"patch.sor"});
    EXPECT_EQ(dialog->selectedList()->rowCount(), 1);
    EXPECT_EQ(readSorFilePath(config), folder("one"));
    addFrom("two", {"patch.sor"});
    ASSERT_EQ(dialog->selectedList()->rowCount(), 2);
    EXPECT_EQ(dialog->selectedList()->text(1, 0), "patch.sor");
    EXPECT_EQ(dialog->selectedList()->text(1, 1), folder("two"));
    EXPECT_EQ(dialog->selectedFiles().size(), 2u);
}

TEST_F(BatchDeal, SelectAllTwiceLeavesEveryRowUnticked)
{
    dialog->FolderSelected(folder("one"));
    CCheckListCtrl *list = dialog->fileList();
    list->setChecked(0, true);
    dialog->SelectAll();
    EXPECT_EQ(list->checkedRows().size(), 3u);
    EXPECT_EQ(list->checkHeader()->image(), 2);
    dialog->SelectAll();
    EXPECT_TRUE(list->checkedRows().empty());
    EXPECT_EQ(list->checkHeader()->image(), 1);
}

TEST_F(BatchDeal, HeaderBoxFollowsTheRows)
{
    dialog->FolderSelected(folder("one"));
    CCheckListCtrl *list = dialog->fileList();
    EXPECT_EQ(list->checkHeader()->image(), 1);
    for (int r = 0; r < list->rowCount(); ++r) {
        EXPECT_EQ(list->checkHeader()->image(), 1) << r;
        list->setChecked(r, true);
    }
    EXPECT_EQ(list->checkHeader()->image(), 2);
    list->setChecked(1, false);
    EXPECT_EQ(list->checkHeader()->image(), 1);

    // A click on the header box ticks every row; a second unticks them.
    QTest::mouseClick(list->checkHeader()->viewport(), Qt::LeftButton, {}, list->checkHeader()->boxRect().center());
    EXPECT_EQ(list->checkedRows().size(), 3u);
    EXPECT_EQ(list->checkHeader()->image(), 2);
    list->HeaderItemClicked();
    EXPECT_TRUE(list->checkedRows().empty());
    EXPECT_EQ(list->checkHeader()->image(), 1);
}

TEST_F(BatchDeal, PrintTypeFollowsTheDropDownList)
{
    for (int k : {2, 4, 0, 3, 1}) {
        dialog->printTypeBox()->setCurrentIndex(k);
        EXPECT_EQ(dialog->printType(), QString::number(k));
        EXPECT_EQ(dialog->layoutPicture()->layout(), k);
    }
    // A text that is none of the entries keeps the print type and shows one cell.
    dialog->printTypeBox()->setItemText(1, "something else");
    dialog->PrintTypeChanged();
    EXPECT_EQ(dialog->printType(), "1");
    EXPECT_EQ(dialog->layoutPicture()->layout(), 0);
}

TEST_F(BatchDeal, SummaryPageBoxStartsUntickedAndToggles)
{
    QCheckBox *box = dialog->findChild<QCheckBox *>("summaryPage");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box, dialog->summaryPageBox());
    EXPECT_EQ(box->text(), "Summary page");
    EXPECT_FALSE(dialog->summaryPage());
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    EXPECT_TRUE(box->isVisible());
    // Inside the dialog, clear of the print type list and the buttons.
    EXPECT_TRUE(dialog->rect().contains(box->geometry()));
    EXPECT_FALSE(box->geometry().intersects(dialog->printTypeBox()->geometry()));
    for (const char *name : {"printPreview", "print"})
        EXPECT_FALSE(box->geometry().intersects(dialog->findChild<QWidget *>(name)->geometry())) << name;
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    EXPECT_TRUE(dialog->summaryPage());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    EXPECT_FALSE(dialog->summaryPage());
    // Changing the print type leaves the choice alone.
    box->setChecked(true);
    dialog->printTypeBox()->setCurrentIndex(2);
    EXPECT_TRUE(dialog->summaryPage());
}

TEST_F(BatchDeal, NothingSelectedSaysSoAndPreparesNothing)
{
    EXPECT_FALSE(dialog->Prepare());
    dialog->PrintPreview();
    EXPECT_EQ(messages, QStringList({"Tips|Please select at least one .sor file!",
                                     "Tips|Please select at least one .sor file!"}));
    EXPECT_EQ(dialog->preparedSlots(), nullptr);
}

TEST_F(BatchDeal, AnUnreadableFileLeavesItsCellEmpty)
{
    addFrom("one", {"broken.sor", "patch.sor", "link.SOR"});
    ASSERT_TRUE(dialog->Prepare());
    EXPECT_TRUE(messages.isEmpty());
    const std::shared_ptr<BatchSlots> slots = dialog->preparedSlots();
    ASSERT_EQ(dialog->preparedCount(), 3);
    const TraceSlot &broken = (*slots)[0];
    EXPECT_EQ(broken.loaded, 0);
    EXPECT_EQ(broken.trace->sampleCount, 0u);
    EXPECT_TRUE(broken.trace->samples.empty());
    for (int i : {1, 2}) {
        const TraceSlot &s = (*slots)[static_cast<size_t>(i)];
        EXPECT_EQ(s.loaded, 1);
        EXPECT_EQ(s.filePath, folder("one"));
        EXPECT_GT(s.trace->sampleCount, 100u);
        const CursorPair pair = defaultCursorPair(*s.trace);
        EXPECT_FLOAT_EQ(s.cursorBDistance, pair.bDistance);
        EXPECT_FLOAT_EQ(s.cursorBLevel, pair.bLevel);
    }
    // Slots follow the selected list, which follows the folder list's order.
    EXPECT_EQ((*slots)[0].fileName, "broken.sor") << "named, so a summary row can say which file failed";
    EXPECT_EQ((*slots)[0].filePath, folder("one"));
    EXPECT_EQ((*slots)[1].fileName, "link.SOR");
    EXPECT_EQ((*slots)[2].fileName, "patch.sor");
}

TEST_F(BatchDeal, PreparationInStepsShowsProgressThenAsksToPrint)
{
    addFrom("one", {"patch.sor", "link.SOR", "broken.sor"});
    std::vector<bool> requests;
    QObject::connect(dialog.get(), &CDlgBatchDeal::printRequested, [&](bool preview) { requests.push_back(preview); });
    dialog->PrintPreview();
    EXPECT_TRUE(dialog->preparing());
    EXPECT_EQ(dialog->progressLabel()->text(), "Curve loading ..");
    for (int spins = 0; spins < 10000 && dialog->preparing(); ++spins)
        QCoreApplication::processEvents();
    ASSERT_FALSE(dialog->preparing());
    EXPECT_EQ(requests, std::vector<bool>{true});
    EXPECT_EQ(dialog->progressLabel()->text(), "Finish curve loading!");
    EXPECT_EQ(dialog->preparedCount(), 3);
}

TEST_F(BatchDeal, BatchLoadsLeaveTheMainFileObjectAndRecordAlone)
{
    // The main window's read of one trace, then a batch preparation, then its save.
    CSorFileBase mainFile;
    SorRecord mainRecord;
    ASSERT_EQ(mainFile.ReadFile(samplePath("long-120km-1550.sor"), mainRecord), 1);
    const QByteArray before = mainFile.SaveToBytes(mainRecord);
    const size_t points = mainRecord.traces.at(0).points.size();

    addFrom("one", {"patch.sor", "link.SOR", "broken.sor"});
    ASSERT_TRUE(dialog->Prepare());
    dialog->thumbnail()->setPath(folder("one") + "/link.SOR");
    ASSERT_TRUE(dialog->thumbnail()->ensureLoaded());

    EXPECT_EQ(mainRecord.traces.at(0).points.size(), points);
    EXPECT_EQ(mainFile.SaveToBytes(mainRecord), before);
}

TEST_F(BatchDeal, DraggedCursorsAreUsedUntilTheFileLeavesTheList)
{
    addFrom("one", {"patch.sor", "link.SOR"});
    dialog->show();
    CBatchThumbnail *thumb = dialog->thumbnail();
    const QString path = folder("one") + "/link.SOR";

    // Shown from the folder list: the marks do not move.
    dialog->FolderSelected(folder("one"));
    QTest::mouseClick(dialog->fileList()->viewport(), Qt::LeftButton, {},
                      dialog->fileList()->visualItemRect(dialog->fileList()->item(fileRow("link.SOR"), 0)).center());
    ASSERT_EQ(thumb->path(), path);
    ASSERT_TRUE(thumb->ensureLoaded());
    const int bx = thumb->markB();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(bx, 60));
    EXPECT_FALSE(thumb->dragging());
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(bx, 60));

    // Shown from the selected list: mark B drags and the store keeps the new place.
    clickSelected("link.SOR");
    ASSERT_TRUE(thumb->ensureLoaded());
    const int target = thumb->width() / 2;
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(thumb->markB(), 60));
    ASSERT_TRUE(thumb->dragging());
    QMouseEvent move(QEvent::MouseMove, QPointF(target, 60), thumb->mapToGlobal(QPointF(target, 60)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(thumb, &move);
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(target, 60));
    EXPECT_FALSE(thumb->dragging());

    const CursorPair *stored = dialog->cursorStore().find(path);
    ASSERT_NE(stored, nullptr);
    EXPECT_FLOAT_EQ(stored->bDistance, dragDistance(thumb->rect(), target, thumb->traceLength()));
    EXPECT_NE(stored->bLevel, 0.0f);
    EXPECT_EQ(dialog->abLabel(1)->text(), thumbnailAbTexts(*stored)[1]);

    ASSERT_TRUE(dialog->Prepare());
    EXPECT_FLOAT_EQ((*dialog->preparedSlots())[static_cast<size_t>(selectedRow("link.SOR"))].cursorBDistance,
                    stored->bDistance);
    const float dragged = stored->bDistance;

    // Deleted and added again: the default pair once more.
    dialog->selectedList()->setChecked(selectedRow("link.SOR"), true);
    dialog->Delete();
    EXPECT_EQ(dialog->cursorStore().find(path), nullptr);
    EXPECT_EQ(dialog->selectedList()->rowCount(), 1);
    addFrom("one", {"link.SOR"});
    ASSERT_TRUE(dialog->Prepare());
    const TraceSlot &slot = (*dialog->preparedSlots())[1];
    EXPECT_EQ(slot.fileName, "link.SOR");
    EXPECT_FLOAT_EQ(slot.cursorBDistance, defaultCursorPair(*slot.trace).bDistance);
    EXPECT_NE(slot.cursorBDistance, dragged);

    // Clear empties the store too.
    dialog->thumbnail()->setPath(QString());
    dialog->Clear();
    EXPECT_TRUE(dialog->cursorStore().entries().empty());
    EXPECT_EQ(dialog->selectedList()->rowCount(), 0);
}

TEST_F(BatchDeal, DraggingPastTheSamplesMovesTheMarkButNotThePair)
{
    addFrom("one", {"patch.sor"});
    dialog->show();
    CBatchThumbnail *thumb = dialog->thumbnail();
    clickSelected("patch.sor");
    ASSERT_TRUE(thumb->ensureLoaded());
    const CursorPair before = thumb->cursorPair();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(thumb->markB(), 60));
    ASSERT_TRUE(thumb->dragging());
    const int end = thumb->width() - 1; // the last column maps just short of the trace length
    QMouseEvent move(QEvent::MouseMove, QPointF(end, 60), thumb->mapToGlobal(QPointF(end, 60)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(thumb, &move);
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(end, 60));
    EXPECT_GT(thumb->markBDistance(), before.bDistance);
    // Whether the last column still lies on a sample decides whether the pair moved; either
    // way the mark did, and a stored pair is one the samples give.
    if (const CursorPair *stored = dialog->cursorStore().find(thumb->loadedPath()))
        EXPECT_FLOAT_EQ(stored->bDistance, thumb->markBDistance());
    else
        EXPECT_FLOAT_EQ(thumb->cursorPair().bDistance, before.bDistance);
}

TEST(BatchThumbnailDrawing, UnreadableOrEmptyPathShowsOnlyTheBackground)
{
    testApp();
    CursorStore store;
    CBatchThumbnail thumb(store, nullptr);
    thumb.resize(290, 174);
    const QColor face = QColor::fromRgb(CMyButton::faceColour);
    for (const QString &path : {QString(), QString("/no/such/file.sor"), QString("/etc/hostname")}) {
        thumb.setPath(path);
        const QImage image = thumb.grab().toImage();
        EXPECT_EQ(image.pixelColor(0, 0), face) << path.toStdString();
        EXPECT_EQ(image.pixelColor(289, 173), face) << path.toStdString();
    }
    thumb.setPath(samplePath("patch-2km-1310.sor"));
    const QImage image = thumb.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black)) << "border";
    bool curve = false;
    for (int y = 0; y < image.height() && !curve; ++y)
        for (int x = 0; x < image.width() && !curve; ++x)
            curve = image.pixelColor(x, y) == QColor(0x00, 0xA2, 0xE8);
    EXPECT_TRUE(curve);
}

// Stands for the analysis library: a start and an end 100 samples on, and how often it ran.
int fakeAnalysisRuns = 0;
EventList fakeAnalysis(const uint16_t *, uint32_t, int32_t, int32_t, float, float, float, float, float, float)
{
    ++fakeAnalysisRuns;
    EventList list{};
    list.reset();
    list.count = 2;
    list.codeLetter[0] = 'S';
    list.index[1] = 100;
    list.typeDigit[1] = 2;
    list.codeLetter[1] = 'E';
    return list;
}

TEST(BatchPreparationAnalysis, AFileWithoutEventsGetsTheAnalysisOthersKeepTheirOwn)
{
    QTemporaryDir dir;
    CSorFileBase sor;
    SorRecord record;
    ASSERT_EQ(sor.ReadFile(samplePath("patch-2km-1310.sor"), record), 1);
    const size_t stored = record.events.size();
    ASSERT_GT(stored, 2u);
    record.events.clear();
    ASSERT_EQ(sor.SaveFile(dir.filePath("bare.sor"), record), 1);
    ASSERT_TRUE(QFile::copy(samplePath("patch-2km-1310.sor"), dir.filePath("stored.sor")));

    fakeAnalysisRuns = 0;
    CursorStore cursors;
    BatchPreparation prep({{"bare.sor", dir.path()}, {"stored.sor", dir.path()}}, cursors, nullptr, &fakeAnalysis);
    prep.run();
    const BatchSlots &slots = *prep.slots();
    ASSERT_EQ(slots.size(), 2u);
    EXPECT_TRUE(slots[0].trace->eventsFromAnalysis);
    ASSERT_EQ(slots[0].trace->events.size(), 2u);
    EXPECT_EQ(slots[0].trace->events[1].index, 100);
    EXPECT_EQ(slots[0].trace->eventList.count, 2);
    EXPECT_FALSE(slots[1].trace->eventsFromAnalysis);
    EXPECT_EQ(slots[1].trace->events.size(), stored);
    EXPECT_EQ(fakeAnalysisRuns, 1);

    // Unbound, the file keeps no events and loads as before.
    BatchPreparation unbound({{"bare.sor", dir.path()}}, cursors, nullptr);
    unbound.run();
    EXPECT_TRUE((*unbound.slots())[0].trace->events.empty());
    EXPECT_EQ((*unbound.slots())[0].loaded, 1);
}

} // namespace
