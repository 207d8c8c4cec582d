#include "panels/FileCommands.h"

#include "app/CLumidorDlg.h"
#include "app/MessageBox.h"
#include "app/Program.h"
#include "app/TextIds.h"
#include "batch/CDlgThumbnail.h"
#include "config/Configuration.h"
#include "panels/CSubDlgInfo.h"
#include "textres/TextResources.h"
#include "trace/CSorDllUtil.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceLoader.h"
#include "view/TraceViewState.h"
#include "view/COtdrTrace.h"

#include <QFileDialog>
#include <QLoggingCategory>

#include <cmath>

Q_LOGGING_CATEGORY(lcFiles, "lumidor.files")

int verticalRangeDb = 0;

namespace {

// Text after the last separator; the whole path when there is none.
QString nameOf(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
    return cut < 0 ? path : path.mid(cut + 1);
}

// Text before the last separator; empty when there is none.
QString folderOf(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
    return cut < 0 ? QString() : path.left(cut);
}

void fileMessage(int textId)
{
    showMessage(nullptr, {fileCaption, loadText(textId), QMessageBox::Warning, QMessageBox::Ok});
}

// Shows the power-meter viewer for `path`; true when it ended with OK.
bool showPowerMeterFile(const QString &path)
{
    Q_UNUSED(path);
    showMessage(nullptr, {fileCaption, QStringLiteral("Power-meter files (.opm) are not available yet."),
                          QMessageBox::Information, QMessageBox::Ok});
    return false;
}

} // namespace

int nextVerticalRangeDb(int current, int maximumLevelDb, int k)
{
    const double u = 1.2 * maximumLevelDb;
    const double v = current;
    const int w = static_cast<int>(std::fabs(u - v) / 5.0);
    int next = current;
    if (u > v)
        next = current + 5 * w + 5;
    else if (k == 0)
        next = current - 5 * w;
    return next < 50 ? 50 : next;
}

void OpenPaths(const QStringList &chosen)
{
    QStringList paths;
    QStringList names;
    for (const QString &path : chosen) {
        const QString name = nameOf(path);
        if (name.right(3) == QLatin1String("opm")) {
            // The viewer decides whether the SOR files chosen before it load; later ones never do.
            if (showPowerMeterFile(path))
                LoadFiles(paths, names);
            return;
        }
        paths << path;
        names << name;
    }
    LoadFiles(paths, names);
}

void OpenFiles()
{
    QString folder = readSorFilePath(g_iniConfig);
    if (folder.isEmpty())
        folder = program::binFolder() + QStringLiteral("/default/curve/");
    QFileDialog dialog(program::mainWindow(), QString(), folder,
                       QStringLiteral("SOR (*.SOR *.sor);;OPM (*.opm *.OPM)"));
    dialog.setObjectName(QStringLiteral("openDialog"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("SOR"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    OpenPaths(dialog.selectedFiles());
}

void LoadFiles(const QStringList &paths, const QStringList &names)
{
    if (paths.isEmpty())
        return;
    TraceSet &set = program::traceSet();
    if (set.loadedCount >= TraceSet::slotCount) {
        fileMessage(text::MaximumCurves);
        return;
    }
    int k = 0;
    while (k < TraceSet::slotCount && set.slots[static_cast<size_t>(k)].loaded)
        ++k;
    for (qsizetype i = 0; i < paths.size() && k < TraceSet::slotCount; ++i) {
        if (LoadFile(paths[i], i < names.size() ? names[i] : nameOf(paths[i]), k))
            ++k;
    }

    COtdrTrace *view = program::traceView();
    CLumidorDlg *window = program::mainWindow();
    CSubDlgInfo *info = window ? window->infoPanel() : nullptr;
    if (view)
        view->SelectCurve(k - 1);
    if (info) {
        info->RefreshList();
        info->RefreshValues();
    }
    if (window)
        window->applyCurveVisibility();
    if (info && set.loadedCount >= 1)
        info->SelectRow(set.loadedCount - 1);
    else if (window)
        window->RefreshEventList();
    writeSorFilePath(g_iniConfig, folderOf(paths[0]));
}

bool LoadFile(const QString &path, const QString &name, int k)
{
    TraceSet &set = program::traceSet();
    if (set.containsPath(path))
        return false;
    SorRecord &record = currentSorRecord();
    const int result = sorFile().ReadFile(path, record);
    TraceSlot &slot = set.slots[static_cast<size_t>(k)];
    TraceData &trace = *slot.trace;
    if (result == 1 && !record.traces.empty()) {
        loadTrace(record, trace, eventAnalysis().totalLoss);
        eventsToEventList(trace);
    } else {
        qCInfo(lcFiles) << "cannot open" << path << "result" << result;
        fileMessage(text::ErrorOpeningFile);
        return false;
    }

    slot.loaded = 1;
    slot.fileName = name;
    slot.filePath = path;
    ++set.loadedCount;
    trace.colour = set.colourFor(set.loadedCount);
    set.currentSlot = k;
    verticalRangeDb = nextVerticalRangeDb(verticalRangeDb, maximumLevel(record), k);

    if (COtdrTrace *view = program::traceView())
        view->AddCurve(buildTraceCurve(trace, viewLevels(record, trace.sampleCount), recordUserOffset(record)));
    if (CLumidorDlg *window = program::mainWindow(); window && window->overviewPanel()) {
        window->overviewPanel()->setTrace(&trace);
        window->overviewPanel()->setVerticalRange(verticalRangeDb);
        window->overviewPanel()->BuildOverviewPoints();
        window->overviewPanel()->update();
    }
    return true;
}

void DropFiles(const QStringList &dropped)
{
    QStringList paths;
    QStringList names;
    for (const QString &path : dropped) {
        paths << path;
        names << nameOf(path);
    }
    if (!paths.isEmpty())
        LoadFiles(paths, names);
}

void reportSaveFailure(QWidget *parent)
{
    QString message = loadText(text::ErrorSavingFile);
    if (message.isEmpty())
        message = QStringLiteral("Error saving file");
    showMessage(parent, {fileCaption, message, QMessageBox::Warning, QMessageBox::Ok});
}

bool SaveTraceTo(const QString &path)
{
    TraceSet &set = program::traceSet();
    TraceData &trace = *set.slots[static_cast<size_t>(set.currentSlot)].trace;
    if (COtdrTrace *view = program::traceView()) {
        trace.cursorA = view->state().cursorA.distance;
        trace.cursorB = view->state().cursorB.distance;
    }
    SorRecord &record = currentSorRecord();
    traceToRecord(trace, record);
    const int result = sorFile().SaveFile(path, record);
    if (result != 1) {
        qCWarning(lcFiles) << "cannot save" << path << "result" << result;
        reportSaveFailure(program::mainWindow());
        return false;
    }
    return true;
}

void SaveCurrentTrace()
{
    // With nothing loaded the current slot holds no file (or one already removed): nothing to save.
    if (program::traceSet().loadedCount == 0)
        return;
    QFileDialog dialog(program::mainWindow(), QString(), QString(), QStringLiteral("SOR (*.SOR *.sor)"));
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("SOR"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveTraceTo(dialog.selectedFiles().constFirst());
}
