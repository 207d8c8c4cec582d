#include "app/AnalysisCommands.h"

#include "app/Session.h"
#include "textres/TextIds.h"
#include "textres/TextResources.h"
#include "trace/EventAnalysis.h"

namespace {

bool belongsTo(const EventsSnapshot &snapshot, const TraceSlot &slot)
{
    return snapshot.trace == slot.trace.get() && snapshot.filePath == slot.filePath + slot.fileName;
}

} // namespace

AnalysisThresholds thresholdsOf(const AnalysisSettings &settings)
{
    if (settings.useFileThresholds)
        return {};
    return {settings.lossDb, settings.reflectanceDb, settings.endDb};
}

void rememberEvents(Session &session)
{
    const TraceSlot *slot = session.document.currentSlot();
    if (!slot)
        return;
    EventsSnapshot s;
    s.trace = slot->trace.get();
    s.filePath = slot->filePath + slot->fileName;
    s.events = slot->trace->events;
    s.eventList = slot->trace->eventList;
    s.eventsFromAnalysis = slot->trace->eventsFromAnalysis;
    std::vector<EventsSnapshot> &all = session.eventsUndo.snapshots;
    all.push_back(std::move(s));
    if (all.size() > EventsUndo::depth)
        all.erase(all.begin());
}

CommandResult AnalyzeCurrentTrace(Session &session, const AnalysisSettings &settings)
{
    CommandResult result;
    TraceSlot *slot = session.document.currentSlot();
    if (!slot)
        return result;
    if (!session.analysis.eventAnalysis) {
        result.messages.push_back({tipsCaption, loadText(text::AnalysisUnavailable), QMessageBox::Warning, QMessageBox::Ok});
        return result;
    }
    TraceData &trace = *slot->trace;
    TraceData analysed = trace;
    if (!analyzeTrace(analysed, session.analysis.eventAnalysis, thresholdsOf(settings))) {
        result.messages.push_back({tipsCaption, loadText(text::AnalysisFoundNothing), QMessageBox::Information,
                                   QMessageBox::Ok});
        return result;
    }
    rememberEvents(session);
    trace.events = std::move(analysed.events);
    trace.eventList = analysed.eventList;
    trace.eventsFromAnalysis = true;
    result.change.events = true;
    result.change.info = true;
    return finishCommand(session, std::move(result));
}

CommandResult UndoEvents(Session &session)
{
    CommandResult result;
    TraceSlot *slot = session.document.currentSlot();
    if (!slot)
        return result;
    std::vector<EventsSnapshot> &all = session.eventsUndo.snapshots;
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (!belongsTo(*it, *slot))
            continue;
        TraceData &trace = *slot->trace;
        trace.events = std::move(it->events);
        trace.eventList = it->eventList;
        trace.eventsFromAnalysis = it->eventsFromAnalysis;
        all.erase(std::next(it).base());
        result.change.events = true;
        result.change.info = true;
        return finishCommand(session, std::move(result));
    }
    return result;
}

bool canUndoEvents(const Session &session)
{
    const TraceSlot *slot = session.document.currentSlot();
    if (!slot)
        return false;
    for (const EventsSnapshot &s : session.eventsUndo.snapshots)
        if (belongsTo(s, *slot))
            return true;
    return false;
}
