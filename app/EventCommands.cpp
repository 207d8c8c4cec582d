#include "app/EventCommands.h"

#include "app/Session.h"
#include "trace/EventAnalysis.h"
#include "trace/EventEditing.h"

namespace {

TraceData &currentTrace(Session &session)
{
    TraceSet &set = session.traceSet;
    return *set.slots[static_cast<size_t>(set.currentSlot)].trace;
}

} // namespace

CommandResult AddEvent(Session &session, const CursorAt &cursor)
{
    CommandResult result;
    // Without the event library there is nothing to measure the event with: leave the trace as it is.
    if (!eventAnalysis().insertEvent)
        return result;
    if (!cursor.hasCurves || session.traceSet.loadedCount == 0)
        return result;
    TraceData &trace = currentTrace(session);
    if (trace.events.empty())
        return result;
    if (cursor.activeCursor != 1 && cursor.activeCursor != 2)
        return result;
    result.eventsChanged = insertEventAt(trace, cursor.sampleIndex, eventAnalysis());
    return result;
}

CommandResult DeleteEvent(Session &session, int row)
{
    CommandResult result;
    if (!eventAnalysis().deleteEvent)
        return result;
    if (session.traceSet.loadedCount == 0)
        return result;
    TraceData &trace = currentTrace(session);
    if (row < 0 || row > trace.eventList.count)
        return result;
    if (!deleteEventRow(trace, row, eventAnalysis()))
        return result;
    result.eventsChanged = true;
    result.selectEventRow = row > 0 ? row - 1 : 0;
    return result;
}
