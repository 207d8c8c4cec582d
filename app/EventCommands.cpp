#include "app/EventCommands.h"

#include "app/AnalysisCommands.h"
#include "app/Session.h"
#include "trace/EventAnalysis.h"
#include "trace/EventEditing.h"
#include "textres/TextIds.h"
#include "textres/TextResources.h"

namespace {

// The library's list holds 100 events: a longer trace is shown whole but not edited, and the
// user is told why nothing happened.
bool refuseLongTrace(const TraceData &trace, CommandResult &result)
{
    if (editableByLibrary(trace))
        return false;
    result.messages.push_back({tipsCaption, loadText(text::TooManyEventsToEdit), QMessageBox::Information,
                               QMessageBox::Ok});
    return true;
}

} // namespace

CommandResult AddEvent(Session &session, const CursorAt &cursor)
{
    CommandResult result;
    // Without the event library there is nothing to measure the event with: leave the trace as it is.
    if (!session.analysis.insertEvent)
        return result;
    TraceSlot *slot = session.document.currentSlot();
    if (!cursor.hasCurves || !slot)
        return result;
    TraceData &trace = *slot->trace;
    if (trace.events.empty())
        return result;
    if (cursor.activeCursor != 1 && cursor.activeCursor != 2)
        return result;
    if (refuseLongTrace(trace, result))
        return result;
    rememberEvents(session);
    result.change.events = insertEventAt(trace, cursor.sampleIndex, session.analysis);
    if (!result.change.events)
        session.eventsUndo.snapshots.pop_back();
    return finishCommand(session, std::move(result));
}

CommandResult DeleteEvent(Session &session, int row)
{
    CommandResult result;
    if (!session.analysis.deleteEvent)
        return result;
    TraceSlot *slot = session.document.currentSlot();
    if (!slot)
        return result;
    TraceData &trace = *slot->trace;
    if (refuseLongTrace(trace, result))
        return result;
    if (row < 0 || row > trace.eventList.count)
        return result;
    rememberEvents(session);
    if (!deleteEventRow(trace, row, session.analysis)) {
        session.eventsUndo.snapshots.pop_back();
        return result;
    }
    result.change.events = true;
    result.change.selectEventRow = row > 0 ? row - 1 : 0;
    return finishCommand(session, std::move(result));
}
