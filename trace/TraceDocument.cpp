#include "trace/TraceDocument.h"

#include <algorithm>

DocumentChange &DocumentChange::operator|=(const DocumentChange &other)
{
    slots = slots || other.slots;
    current = current || other.current;
    events = events || other.events;
    info = info || other.info;
    verdict = verdict || other.verdict;
    cursors = cursors || other.cursors;
    if (other.selectEventRow >= 0)
        selectEventRow = other.selectEventRow;
    return *this;
}

int TraceDocument::subscribe(Listener listener)
{
    const int id = ++m_nextId;
    m_listeners.push_back({id, std::move(listener)});
    return id;
}

void TraceDocument::unsubscribe(int id)
{
    std::erase_if(m_listeners, [id](const Subscription &s) { return s.id == id; });
}

void TraceDocument::publish(const DocumentChange &change)
{
    if (!change.any())
        return;
    ++m_notices;
    // A copy: a listener may subscribe or unsubscribe while it is called.
    const std::vector<Subscription> listeners = m_listeners;
    for (const Subscription &s : listeners)
        s.listener(change);
}

const TraceSlot *TraceDocument::currentSlot() const
{
    const TraceSet &set = traces;
    if (set.loadedCount <= 0 || set.currentSlot < 0 || set.currentSlot >= TraceSet::slotCount)
        return nullptr;
    const TraceSlot &slot = set.slots[static_cast<size_t>(set.currentSlot)];
    return slot.loaded ? &slot : nullptr;
}

TraceSlot *TraceDocument::currentSlot()
{
    return const_cast<TraceSlot *>(std::as_const(*this).currentSlot());
}

const TraceData *TraceDocument::currentTrace() const
{
    const TraceSlot *slot = currentSlot();
    return slot ? slot->trace.get() : nullptr;
}

DocumentChange TraceDocument::select(int slot)
{
    if (slot < 0 || slot >= std::min<int>(traces.loadedCount, TraceSet::slotCount))
        return {};
    traces.currentSlot = slot;
    DocumentChange change;
    change.current = true;
    return change;
}

DocumentChange TraceDocument::remove(int slot)
{
    if (!removeTraceSlot(traces, slot))
        return {};
    // The slots that moved up take the colour of their new number.
    for (int r = slot; r < traces.loadedCount; ++r)
        traces.slots[static_cast<size_t>(r)].trace->colour = traces.colourFor(r + 1);
    const int next = rowAfterRemove(slot, traces.loadedCount);
    traces.currentSlot = next >= 0 ? next : 0;
    DocumentChange change;
    change.slots = true;
    change.current = true;
    return change;
}

DocumentChange TraceDocument::clear()
{
    traces.reset();
    DocumentChange change;
    change.slots = true;
    change.current = true;
    return change;
}

DocumentChange TraceDocument::setMeasurementMode(MeasurementMode mode)
{
    measurementMode = mode;
    DocumentChange change;
    change.cursors = true;
    return change;
}

bool removeTraceSlot(TraceSet &set, int slot)
{
    const int loaded = std::min<int>(set.loadedCount, TraceSet::slotCount);
    if (slot < 0 || slot >= loaded)
        return false;
    set.slots[slot].loaded = 0;
    std::rotate(set.slots.begin() + slot, set.slots.begin() + slot + 1, set.slots.end());
    set.loadedCount -= 1;
    if (set.currentSlot > 0)
        set.currentSlot -= 1;
    return true;
}

int rowAfterRemove(int removedRow, int rowCountAfter)
{
    if (rowCountAfter <= 0)
        return -1;
    return std::min(removedRow, rowCountAfter - 1);
}
