#include "panels/EventCommands.h"

#include "app/CLumidorDlg.h"
#include "app/Program.h"
#include "trace/EventAnalysis.h"
#include "trace/EventEditing.h"
#include "view/COtdrTrace.h"

namespace {

TraceData &currentTrace()
{
    TraceSet &set = program::traceSet();
    return *set.slots[static_cast<size_t>(set.currentSlot)].trace;
}

// The view's marks and the main event list follow the trace's new events.
void showNewEvents(TraceData &trace)
{
    if (COtdrTrace *view = program::traceView()) {
        view->SetMarkers(view->state().currentCurve, trace);
        view->update();
    }
    if (CLumidorDlg *window = program::mainWindow())
        window->RefreshEventList();
}

} // namespace

void AddEvent()
{
    COtdrTrace *view = program::traceView();
    // Without the event library there is nothing to measure the event with: leave the trace as it is.
    if (!eventAnalysis().insertEvent)
        return;
    if (!view || view->state().curves.empty() || program::traceSet().loadedCount == 0)
        return;
    TraceData &trace = currentTrace();
    if (trace.events.empty())
        return;
    const int active = view->activeCursor();
    if (active != 1 && active != 2)
        return;
    if (!insertEventAt(trace, view->CursorSampleIndex(), eventAnalysis()))
        return;
    showNewEvents(trace);
}

void DeleteEvent()
{
    CLumidorDlg *window = program::mainWindow();
    if (!eventAnalysis().deleteEvent)
        return;
    if (!window || program::traceSet().loadedCount == 0)
        return;
    const int row = window->firstSelectedEventRow();
    TraceData &trace = currentTrace();
    if (row < 0 || row > trace.eventList.count)
        return;
    if (!deleteEventRow(trace, row, eventAnalysis()))
        return;
    showNewEvents(trace);
    const int next = row > 0 ? row - 1 : 0;
    if (window->eventRowCount() > next)
        window->selectEventRow(next);
}
