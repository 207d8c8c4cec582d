// Opens the batch dialog on a folder for a look or a screenshot:
//   batch_deal_shot FOLDER [OUT.png] [--add] [--drag]
// --add puts every file of the folder into the selected list; --drag shows the first selected
// file and drags its mark B to the middle of the thumbnail. With OUT.png the dialog is grabbed
// and the program ends; without, it stays open.

#include "batch/CBatchThumbnail.h"
#include "batch/CCheckListCtrl.h"
#include "batch/CDlgBatchDeal.h"
#include "config/CMemIniFile.h"
#include "config/Configuration.h"
#include "textres/TextResources.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    loadTextLibrary(QCoreApplication::applicationDirPath());
    CMemIniFile config;
    writeSorFilePath(config, args[1]);

    BatchDealContext context;
    context.config = &config;
    context.texts = loadText;
    context.cursorColour = 4210943;
    CDlgBatchDeal dialog(context);
    dialog.showDialog();
    dialog.FolderSelected(args[1]);
    if (args.contains("--add")) {
        dialog.SelectAll();
        dialog.Add();
    }
    if (args.contains("--four"))
        dialog.printTypeBox()->setCurrentIndex(2);
    QCoreApplication::processEvents();

    if (args.contains("--drag") && dialog.selectedList()->rowCount() > 0) {
        CCheckListCtrl *list = dialog.selectedList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0, 0)).center());
        CBatchThumbnail *thumb = dialog.thumbnail();
        thumb->ensureLoaded();
        const QPoint from(thumb->markB(), 60);
        const QPoint to(thumb->width() / 2, 60);
        QTest::mousePress(thumb, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), thumb->mapToGlobal(QPointF(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(thumb, &move);
        QTest::mouseRelease(thumb, Qt::LeftButton, {}, to);
    } else if (dialog.fileList()->rowCount() > 0) {
        CCheckListCtrl *list = dialog.fileList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0, 0)).center());
    }

    if (args.size() >= 3 && !args[2].startsWith("--")) {
        const QString out = args[2];
        QTimer::singleShot(500, &dialog, [&dialog, out] {
            dialog.grab().save(out);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
