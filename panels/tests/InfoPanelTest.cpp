#include "panels/CDropfileList.h"
#include "panels/CSubDlgInfo.h"
#include "trace/TraceDocument.h"
#include "testsupport/TestApp.h"
#include "TestTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Eight distinct trace colours, 0x00BBGGRR; colour 5 is black.
constexpr uint32_t traceColours[9] = {0, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0x000000, 0xFF00FF, 0x808080, 0x0080FF};

QColor bgr(uint32_t c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

class InfoPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApp();
        for (int i = 1; i <= 8; ++i)
            set.colourTable[i] = traceColours[i];
        panel = std::make_unique<CSubDlgInfo>(set, testTexts());
        // As the main window wires it: the panel's requests are the document's edits, and the
        // panel redraws on the notice that follows each.
        QObject::connect(panel.get(), &CSubDlgInfo::rowChosen, [this](int row) { doc.publish(doc.select(row)); });
        QObject::connect(panel.get(), &CSubDlgInfo::removeRequested, [this](int row) { doc.publish(doc.remove(row)); });
        QObject::connect(panel.get(), &CSubDlgInfo::clearRequested, [this] { doc.publish(doc.clear()); });
        doc.subscribe([this](const DocumentChange &change) {
            panel->showChange(change);
            ++notices;
        });
        panel->show();
    }

    // Loads files as the open command does: the next slot, the list and the values rebuilt,
    // the last row made current.
    void load(std::initializer_list<const char *> names)
    {
        for (const char *name : names) {
            const int k = set.loadedCount;
            TraceSlot &slot = set.slots[k];
            slot.loaded = 1;
            slot.fileName = QString::fromLatin1(name);
            slot.filePath = "/data/" + slot.fileName;
            TraceData &t = *slot.trace;
            t.wavelengthNm = 1310 + 10 * k;
            t.sampleCount = 1000 * (k + 1);
            t.operatorName = QStringLiteral("Op %1  x").arg(k);
            t.fiberType = 651 + k;
            t.rangeMetres = 10000;
            set.loadedCount += 1;
            t.colour = set.colourFor(set.loadedCount);
        }
        set.currentSlot = set.loadedCount - 1;
        DocumentChange loaded;
        loaded.slots = true;
        loaded.current = true;
        doc.publish(loaded);
    }

    QString cell(int row, int column) const
    {
        QTableWidgetItem *item = panel->fileList()->item(row, column);
        return item ? item->text() : QString("<none>");
    }

    QColor swatch(int row, QIcon::Mode mode = QIcon::Normal) const
    {
        return panel->fileList()->item(row, 0)->icon().pixmap(QSize(16, 16), mode).toImage().pixelColor(7, 7);
    }

    void click(int id)
    {
        auto *button = panel->findChild<QAbstractButton *>(QStringLiteral("button%1").arg(id));
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }

    TraceDocument doc;
    TraceSet &set = doc.traces;
    int notices = 0;
    std::unique_ptr<CSubDlgInfo> panel;
};

} // namespace

TEST_F(InfoPanelTest, LabelsComeFromTheTextTable)
{
    const std::pair<const char *, const char *> labels[] = {
        {"label1031", "Wavelength:"}, {"label1032", "Sampling dot:"}, {"label1039", "Fiber type:"},
        {"label1044", "File date:"},  {"label1045", "File list:"},
    };
    for (const auto &[name, text] : labels) {
        auto *label = panel->findChild<QLabel *>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), QString::fromLatin1(text));
    }
    EXPECT_EQ(panel->findChild<QPushButton *>("button1000")->text(), "Remove");
    EXPECT_EQ(panel->findChild<QPushButton *>("button1001")->text(), "Delete");
    EXPECT_EQ(panel->findChild<QPushButton *>("button1022")->text(), "Edit");
    EXPECT_EQ(panel->fileList()->horizontalHeaderItem(0)->text(), "NO.");
    EXPECT_EQ(panel->fileList()->horizontalHeaderItem(1)->text(), "File name");
    EXPECT_TRUE(panel->multiTrace()) << "ticked at start whatever the configured mode";
}

TEST_F(InfoPanelTest, ListsLoadedTracesWithSwatches)
{
    load({"a.sor", "b.sor", "c.sor"});
    ASSERT_EQ(panel->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(row, 0), QString::number(row + 1));
        EXPECT_EQ(swatch(row), bgr(traceColours[row + 1])) << row;
    }
    EXPECT_EQ(swatch(2, QIcon::Selected), bgr(traceColours[3])) << "selection does not tint the swatch";
    EXPECT_EQ(cell(1, 1), "b.sor");
    EXPECT_EQ(panel->fileList()->currentRow(), 2);
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdFileName), "c.sor");
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdWavelength), "1330nm");
}

TEST_F(InfoPanelTest, ChoosingARowMakesItCurrent)
{
    load({"a.sor", "b.sor", "c.sor"});
    QSignalSpy current(panel.get(), &CSubDlgInfo::rowChosen);
    notices = 0;
    panel->fileList()->setCurrentCell(0, 1);
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current.at(0).at(0).toInt(), 0);
    EXPECT_EQ(notices, 1) << "the panel redrawing the choice asks for nothing again";
    EXPECT_EQ(set.currentSlot, 0);
    EXPECT_EQ(panel->clickedRow(), 0);
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdFileName), "a.sor");
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdFiberType), "Multi-Mode Fiber");
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdSampleCount), "1000");
}

TEST_F(InfoPanelTest, OrlAsStoredOrDashes)
{
    load({"a.sor", "b.sor"});
    set.slots[1].trace->orlDb = 30.715f;
    panel->RefreshValues();
    EXPECT_EQ(panel->findChild<QLabel *>("label1046")->text(), "ORL:");
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdOrl), "30.72 dB");
    panel->fileList()->setCurrentCell(0, 1);
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdOrl), "--") << "a file that stores none";
}

TEST_F(InfoPanelTest, TextsStayExactAcrossSelections)
{
    load({"a.sor", "b.sor", "c.sor"});
    for (int round = 0; round < 3; ++round) {
        for (int row : {0, 1, 2}) {
            panel->SelectRow(row);
            EXPECT_EQ(panel->valueText(CSubDlgInfo::IdOperator), QStringLiteral("Op %1  x").arg(row));
        }
    }
    panel->SelectRow(1);
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdFiberType), "Singlemode Fiber");
    panel->SelectRow(2);
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdFiberType), "Dispersion Shifted Fiber");
}

TEST_F(InfoPanelTest, UnitChangesTheTestRange)
{
    load({"a.sor"});
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdTestRange), "10.00 km");
    panel->setDistanceUnit("ft");
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdTestRange), "32.81 kft");
    panel->setDistanceUnit("mi");
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdTestRange), "6.21 miles");
}

TEST_F(InfoPanelTest, RemoveRenumbersRecoloursAndSelectsTheNextRow)
{
    load({"a.sor", "b.sor", "c.sor"});
    panel->SelectRow(1);
    const TraceData *c = set.slots[2].trace.get();
    QSignalSpy removed(panel.get(), &CSubDlgInfo::removeRequested);
    QSignalSpy current(panel.get(), &CSubDlgInfo::rowChosen);
    notices = 0;

    click(CSubDlgInfo::IdRemove);

    ASSERT_EQ(panel->rowCount(), 2);
    EXPECT_EQ(cell(0, 0), "1");
    EXPECT_EQ(cell(0, 1), "a.sor");
    EXPECT_EQ(cell(1, 0), "2");
    EXPECT_EQ(cell(1, 1), "c.sor");
    EXPECT_EQ(swatch(1), bgr(traceColours[2]));
    EXPECT_EQ(set.slots[1].trace.get(), c);
    EXPECT_EQ(set.slots[1].trace->colour, traceColours[2]) << "the trace takes the colour of its new number";
    EXPECT_EQ(set.loadedCount, 2);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).toInt(), 1);
    EXPECT_EQ(current.count(), 0) << "the document picks the next row; the panel asks nothing more";
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(set.currentSlot, 1) << "the row that took the removed row's place";
    EXPECT_EQ(panel->fileList()->currentRow(), 1);
    EXPECT_TRUE(panel->fileList()->selectionModel()->isRowSelected(1, {})) << "shown selected too";
    EXPECT_EQ(set.currentSlot, 1);
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdFileName), "c.sor");
}

TEST_F(InfoPanelTest, RemovingTheLastRowSelectsTheNewLast)
{
    load({"a.sor", "b.sor", "c.sor"});
    click(CSubDlgInfo::IdRemove);
    ASSERT_EQ(panel->rowCount(), 2);
    EXPECT_EQ(panel->fileList()->currentRow(), 1);
    EXPECT_EQ(panel->selectedRow(), 1);
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdFileName), "b.sor");
}

TEST_F(InfoPanelTest, RemovingTheOnlyRowLeavesNothingShown)
{
    load({"a.sor"});
    QSignalSpy removed(panel.get(), &CSubDlgInfo::removeRequested);
    click(CSubDlgInfo::IdRemove);
    EXPECT_EQ(panel->rowCount(), 0);
    EXPECT_EQ(set.loadedCount, 0);
    EXPECT_EQ(panel->clickedRow(), -1);
    EXPECT_EQ(panel->selectedRow(), -1);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(doc.currentTrace(), nullptr);
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdFileName), "") << "no values of a trace that is gone";
    EXPECT_EQ(panel->valueText(CSubDlgInfo::IdWavelength), "");

    click(CSubDlgInfo::IdRemove);
    EXPECT_EQ(removed.count(), 1) << "Remove on an empty list does nothing";
}

TEST_F(InfoPanelTest, KeysOnTheListRemoveNothing)
{
    // Traces leave only through Remove and Delete; a stray key press keeps them loaded.
    load({"a.sor", "b.sor"});
    panel->SelectRow(0);
    panel->fileList()->setFocus();
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return})
        QTest::keyClick(panel->fileList(), key);
    ASSERT_EQ(panel->rowCount(), 2);
    EXPECT_EQ(set.loadedCount, 2);
    EXPECT_EQ(cell(0, 1), "a.sor");
}

TEST_F(InfoPanelTest, ClearUnloadsEverything)
{
    load({"a.sor", "b.sor"});
    QSignalSpy cleared(panel.get(), &CSubDlgInfo::clearRequested);
    click(CSubDlgInfo::IdClear);
    EXPECT_EQ(panel->rowCount(), 0);
    EXPECT_EQ(set.loadedCount, 0);
    EXPECT_EQ(set.slots[0].loaded, 0);
    EXPECT_EQ(panel->clickedRow(), -1);
    EXPECT_EQ(cleared.count(), 1);
    for (int id : {1005, 1006, 1007, 1008, 1009, 1010, 1013, 1014, 1015, 1016, 1017, 1021})
        EXPECT_EQ(panel->valueText(id), "") << id;
}

TEST_F(InfoPanelTest, MultiTraceBoxReportsEachClick)
{
    QSignalSpy mode(panel.get(), &CSubDlgInfo::multiTraceChanged);
    auto *box = panel->findChild<QCheckBox *>("check1020");
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    ASSERT_EQ(mode.count(), 2);
    EXPECT_FALSE(mode.at(0).at(0).toBool()) << "the first click unticks: only the current trace";
    EXPECT_TRUE(mode.at(1).at(0).toBool());
}

TEST_F(InfoPanelTest, EditNeedsARow)
{
    QSignalSpy edit(panel.get(), &CSubDlgInfo::editRequested);
    click(CSubDlgInfo::IdEdit);
    EXPECT_EQ(edit.count(), 0);
    load({"a.sor"});
    click(CSubDlgInfo::IdEdit);
    EXPECT_EQ(edit.count(), 1);
}

TEST_F(InfoPanelTest, ToggleCurveWrapsAndNeedsTwoRows)
{
    load({"a.sor"});
    QSignalSpy current(panel.get(), &CSubDlgInfo::rowChosen);
    panel->SelectNextRow();
    EXPECT_EQ(current.count(), 0);

    load({"b.sor", "c.sor"});
    panel->SelectRow(2);
    current.clear();
    panel->SelectNextRow();
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current.at(0).at(0).toInt(), 0);
    EXPECT_EQ(panel->fileList()->currentRow(), 0);
}

TEST_F(InfoPanelTest, BlackTraceColourGivesATransparentSwatch)
{
    load({"a.sor", "b.sor", "c.sor", "d.sor", "e.sor"});
    EXPECT_EQ(swatch(4).alpha(), 0);
    EXPECT_EQ(swatch(3), bgr(traceColours[4]));
}

TEST_F(InfoPanelTest, DroppedFilesArePassedOnInOrder)
{
    QSignalSpy dropped(panel.get(), &CSubDlgInfo::filesDropped);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/data/x.sor"), QUrl("https://example.org/y.sor"),
                  QUrl::fromLocalFile("/data/z.opm")});
    // On the list, and on the panel beside it.
    for (QWidget *target : {static_cast<QWidget *>(panel->fileList()->viewport()), static_cast<QWidget *>(panel.get())}) {
        const QPoint at(10, 10);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
    ASSERT_EQ(dropped.count(), 2);
    EXPECT_EQ(dropped.at(0).at(0).toStringList(), QStringList({"/data/x.sor", "/data/z.opm"}));
    EXPECT_EQ(dropped.at(1).at(0).toStringList(), QStringList({"/data/x.sor", "/data/z.opm"}));

    QMimeData web;
    web.setUrls({QUrl("https://example.org/y.sor")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel->fileList()->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted()) << "nothing to open: the drop is refused";
}
