// Opens the print preview for SOR files, as the main window's Print preview command does, and
// optionally saves a picture of the window: previewdemo [--per-page N] [--shot FILE.png] FILE...

#include "config/CMemIniFile.h"
#include "config/Configuration.h"
#include "config/PassThresholds.h"
#include "print/CPrintFrame.h"
#include "print/DefaultCursorPair.h"
#include "print/ReportEnvironment.h"
#include "textres/TextResources.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceLoader.h"
#include "trace/TraceSet.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();
    QStringList args = app.arguments().mid(1);
    QString shot;
    QString printType = QStringLiteral("0");
    if (args.size() > 1 && args[0] == QLatin1String("--per-page")) {
        const int n = args[1].toInt();
        printType = QString::number(n == 2 ? 1 : n == 4 ? 2 : n == 6 ? 3 : n == 8 ? 4 : 0);
        args = args.mid(2);
    }
    if (args.size() > 1 && args[0] == QLatin1String("--shot")) {
        shot = args[1];
        args = args.mid(2);
    }
    loadTextLibrary(folder);
    CMemIniFile ini;
    ini.AttachFile(configFilePath(folder));
    PassThresholds thresholds;
    ReadPassThresholds(configFilePath(folder), thresholds);
    const ReportEnvironment env =
        reportEnvironment(ini, readDisplaySettings(ini), loadReportLabels(loadText), startupReportFontTable(), thresholds,
                          QDir(folder).filePath(QString::fromLatin1(logoFileName)));

    TraceSet traces;
    const auto totalLoss = bindEventAnalysis(folder).totalLoss;
    for (const QString &path : args) {
        if (traces.loadedCount >= TraceSet::slotCount)
            break;
        CSorFileBase sor;
        SorRecord record;
        if (sor.ReadFile(path, record) != SorResult::Done || record.traces.empty())
            continue;
        TraceSlot &slot = traces.slots[static_cast<size_t>(traces.loadedCount++)];
        loadTrace(std::move(record), *slot.trace, totalLoss);
        slot.loaded = 1;
        slot.fileName = QFileInfo(path).fileName();
        const CursorPair c = defaultCursorPair(*slot.trace);
        slot.cursorADistance = c.aDistance;
        slot.cursorALevel = c.aLevel;
        slot.cursorBDistance = c.bDistance;
        slot.cursorBLevel = c.bLevel;
    }
    PrintJob job = mainWindowPrintJob(traces, defaultCursorPair(*traces.slots[0].trace));
    job.printType = printType;
    QWidget owner;
    CPrintFrame *frame = openPrintPreview(&owner, job, env, false, loadText);
    if (!shot.isEmpty()) {
        QTimer::singleShot(1500, frame, [frame, shot] {
            frame->grab().save(shot);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
