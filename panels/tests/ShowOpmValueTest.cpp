// The power-meter viewer, offscreen: table layout, rows from a file, Enter and the preview button.

#include "panels/CShowOpmValue.h"
#include "testsupport/TestApp.h"
#include "textres/TextResources.h"

#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ShowOpmValue : public testing::Test {
protected:
    QTemporaryDir dir;

    static void SetUpTestSuite()
    {
        testApp();
        // The real text library, so the identifiers the dialog asks for are checked too.
        ASSERT_TRUE(loadTextLibrary(qEnvironmentVariable("LUMIDOR_BIN_DIR")));
    }

    QString write(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("meter.opm"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    static QTableWidget *list(CShowOpmValue &dialog)
    {
        return dialog.findChild<QTableWidget *>(QString::number(CShowOpmValue::IdList));
    }
    static QPushButton *button(CShowOpmValue &dialog)
    {
        return dialog.findChild<QPushButton *>(QString::number(CShowOpmValue::IdPrintPreview));
    }
};

QByteArray records(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "FiberId=" + QByteArray::number(i) + ",CableId=C7,Date=2026-03-02,Time=09:15:0" +
                 QByteArray::number(i % 10) + ",Value=-3.4" + QByteArray::number(i % 10) +
                 " dBm,Operator=Ana;\r\n";
    return bytes;
}

TEST_F(ShowOpmValue, CaptionColumnsAndButton)
{
    CShowOpmValue dialog(write(records(1)), loadText);
    EXPECT_EQ(dialog.windowTitle(), "OPM");
    QTableWidget *table = list(dialog);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columnCount(), 6);
    const QStringList titles = {"Fiber No.", "Cable No.", "Date", "Time", "Value", "Operator"};
    const int widths[] = {150, 150, 120, 120, 120, 220};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(table->horizontalHeaderItem(c)->text(), titles[c]) << "column " << c;
        EXPECT_EQ(table->horizontalHeader()->sectionSize(c), widths[c]) << "column " << c;
        EXPECT_EQ(table->item(0, c)->textAlignment(), int(Qt::AlignCenter)) << "column " << c;
    }
    EXPECT_EQ(table->horizontalHeader()->defaultAlignment(), Qt::AlignCenter);
    EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(table->showGrid());
    ASSERT_NE(button(dialog), nullptr);
    EXPECT_EQ(button(dialog)->text(), "Print preview");
}

TEST_F(ShowOpmValue, RowsAreTheRecordsAsRead)
{
    CShowOpmValue dialog(write(records(3) + "FiberId=4,broken;" + records(1)), loadText);
    QTableWidget *table = list(dialog);
    ASSERT_EQ(table->rowCount(), 3);
    ASSERT_EQ(dialog.records().size(), 3);
    const QStringList row1 = {"2", "C7", "2026-03-02", "09:15:02", "-3.42 dBm", "Ana"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(table->item(1, c)->text(), row1[c]) << "column " << c;
    EXPECT_EQ(dialog.records()[2].fiberId, "3");
    EXPECT_EQ(dialog.path(), dir.filePath("meter.opm"));
}

TEST_F(ShowOpmValue, FileThatShowsNothingGivesAnEmptyTable)
{
    for (const QString &path : {write({}), dir.filePath("missing.opm")}) {
        CShowOpmValue dialog(path, loadText);
        EXPECT_EQ(list(dialog)->rowCount(), 0) << path.toStdString();
        EXPECT_TRUE(dialog.records().isEmpty());
        EXPECT_EQ(list(dialog)->columnCount(), 6);
    }
}

TEST_F(ShowOpmValue, LongListScrollsToItsLastRow)
{
    CShowOpmValue dialog(write(records(200)), loadText);
    dialog.show();
    QTableWidget *table = list(dialog);
    ASSERT_EQ(table->rowCount(), 200);
    EXPECT_GE(table->rowAt(table->viewport()->height() - 2), 190);
    EXPECT_GT(table->rowAt(1), 0);
}

// Enter ends the dialog with OK wherever the focus is, also on the preview button; Escape
// cancels it.
TEST_F(ShowOpmValue, EnterAcceptsEscapeRejects)
{
    const QString path = write(records(2));
    const struct {
        const char *name;
        Qt::Key key;
        bool focusButton;
        int result;
    } cases[] = {
        {"ReturnInList", Qt::Key_Return, false, QDialog::Accepted},
        {"KeypadEnterInList", Qt::Key_Enter, false, QDialog::Accepted},
        {"ReturnOnButton", Qt::Key_Return, true, QDialog::Accepted},
        {"EscapeInList", Qt::Key_Escape, false, QDialog::Rejected},
    };
    for (const auto &c : cases) {
        CShowOpmValue dialog(path, loadText);
        QSignalSpy preview(&dialog, &CShowOpmValue::printPreviewRequested);
        dialog.show();
        QWidget *target = c.focusButton ? static_cast<QWidget *>(button(dialog)) : list(dialog);
        target->setFocus();
        QTest::keyClick(target, c.key);
        EXPECT_FALSE(dialog.isVisible()) << c.name;
        EXPECT_EQ(dialog.result(), c.result) << c.name;
        EXPECT_EQ(preview.count(), 0) << c.name;
    }
}

TEST_F(ShowOpmValue, PrintPreviewButtonAsksAndKeepsTheDialogOpen)
{
    CShowOpmValue dialog(write(records(2)), loadText);
    QSignalSpy preview(&dialog, &CShowOpmValue::printPreviewRequested);
    dialog.show();
    QTest::mouseClick(button(dialog), Qt::LeftButton);
    EXPECT_EQ(preview.count(), 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.records().size(), 2);
}

} // namespace
