#include "app/FileCommands.h"

#include "app/Session.h"
#include "config/Configuration.h"
#include "opm/OpmReader.h"
#include "textres/TextIds.h"
#include "textres/TextResources.h"
#include "trace/TraceAnalysis.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceLoader.h"

#include <QLoggingCategory>

#include <cmath>

Q_LOGGING_CATEGORY(lcFiles, "lumidor.files")

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

MessageRequest fileMessage(int textId)
{
    return {fileCaption, loadText(textId), QMessageBox::Warning, QMessageBox::Ok};
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

CommandResult finishCommand(Session &session, CommandResult result)
{
    session.document.publish(result.change);
    return result;
}

namespace {

// The loads of LoadFiles, without its notice.
CommandResult loadFiles(Session &session, const QStringList &paths, const QStringList &names)
{
    CommandResult result;
    if (paths.isEmpty())
        return result;
    TraceSet &set = session.traceSet;
    if (set.loadedCount >= TraceSet::slotCount) {
        result.messages.push_back(fileMessage(text::MaximumCurves));
        return result;
    }
    int k = 0;
    while (k < TraceSet::slotCount && set.slots[static_cast<size_t>(k)].loaded)
        ++k;
    for (qsizetype i = 0; i < paths.size() && k < TraceSet::slotCount; ++i) {
        if (LoadFile(session, paths[i], i < names.size() ? names[i] : nameOf(paths[i]), k, result))
            ++k;
    }
    // The newest trace is current (the last loaded one, also when this load added none).
    if (set.loadedCount >= 1)
        set.currentSlot = set.loadedCount - 1;
    result.change.slots = true;
    result.change.current = true;
    writeSorFilePath(session.g_iniConfig, folderOf(paths[0]));
    return result;
}

} // namespace

CommandResult OpenPaths(Session &session, const QStringList &chosen, const PowerMeterViewer &showPowerMeter)
{
    QStringList paths;
    QStringList names;
    for (const QString &path : chosen) {
        const QString name = nameOf(path);
        if (isOpmPath(name)) {
            if (showPowerMeter && showPowerMeter(path))
                return LoadFiles(session, paths, names);
            return {};
        }
        paths << path;
        names << name;
    }
    return LoadFiles(session, paths, names);
}

CommandResult LoadFiles(Session &session, const QStringList &paths, const QStringList &names)
{
    return finishCommand(session, loadFiles(session, paths, names));
}

bool LoadFile(Session &session, const QString &path, const QString &name, int k, CommandResult &result)
{
    TraceSet &set = session.traceSet;
    if (set.containsPath(path))
        return false;
    SorRecord &record = session.currentSorRecord;
    const int read = session.sorFile.ReadFile(path, record);
    TraceSlot &slot = set.slots[static_cast<size_t>(k)];
    TraceData &trace = *slot.trace;
    if (read == 1 && !record.traces.empty()) {
        loadTrace(record, trace, session.analysis.totalLoss);
        // The file's own user offset, none when it stores none: never the slot's previous file's.
        trace.userOffset = recordUserOffset(record);
        // A file that stores no events shows the ones the analysis finds.
        if (!analyzeIfNoEvents(trace, session.analysis.eventAnalysis))
            eventsToEventList(trace);
    } else {
        qCInfo(lcFiles) << "cannot open" << path << "result" << read;
        result.messages.push_back(fileMessage(text::ErrorOpeningFile));
        return false;
    }

    slot.loaded = 1;
    slot.fileName = name;
    slot.filePath = path;
    slot.loadStamp = session.document.nextLoadStamp();
    ++set.loadedCount;
    trace.colour = set.colourFor(set.loadedCount);
    set.currentSlot = k;
    session.verticalRangeDb = nextVerticalRangeDb(session.verticalRangeDb, maximumLevel(record), k);
    result.slotsLoaded.push_back(k);
    return true;
}

CommandResult DropFiles(Session &session, const QStringList &dropped)
{
    QStringList paths;
    QStringList names;
    for (const QString &path : dropped) {
        paths << path;
        names << nameOf(path);
    }
    if (paths.isEmpty())
        return {};
    return LoadFiles(session, paths, names);
}

CommandResult SelectTrace(Session &session, int slot)
{
    CommandResult result;
    result.change = session.document.select(slot);
    return finishCommand(session, std::move(result));
}

CommandResult RemoveTrace(Session &session, int slot)
{
    CommandResult result;
    result.change = session.document.remove(slot);
    return finishCommand(session, std::move(result));
}

CommandResult ClearTraces(Session &session)
{
    CommandResult result;
    result.change = session.document.clear();
    return finishCommand(session, std::move(result));
}

CommandResult EditFibreInformation(Session &session, const SlotEditor &editor)
{
    CommandResult result;
    TraceSlot *slot = session.document.currentSlot();
    if (!slot || !editor)
        return result;
    result.change.info = editor(*slot);
    return finishCommand(session, std::move(result));
}

CommandResult EditPassThresholds(Session &session, const ThresholdEditor &editor)
{
    CommandResult result;
    if (editor)
        editor(session.passThresholds);
    result.change.verdict = true;
    return finishCommand(session, std::move(result));
}

CommandResult SetMeasurementMode(Session &session, MeasurementMode mode)
{
    CommandResult result;
    result.change = session.document.setMeasurementMode(mode);
    return finishCommand(session, std::move(result));
}

CommandResult SaveTraceTo(Session &session, const QString &path, float cursorA, float cursorB)
{
    CommandResult result;
    TraceSet &set = session.traceSet;
    TraceData &trace = *set.slots[static_cast<size_t>(set.currentSlot)].trace;
    trace.cursorA = cursorA;
    trace.cursorB = cursorB;
    // A record of its own: nothing of a file read later reaches the bytes of this one.
    SorRecord record;
    traceToRecord(trace, record);
    const int saved = session.sorFile.SaveFile(path, record);
    if (saved != 1) {
        qCWarning(lcFiles) << "cannot save" << path << "result" << saved;
        QString message = loadText(text::ErrorSavingFile);
        if (message.isEmpty())
            message = QStringLiteral("Error saving file");
        result.messages.push_back({fileCaption, message, QMessageBox::Warning, QMessageBox::Ok});
        return result;
    }
    result.saved = true;
    return result;
}
