#pragma once

#include "trace/CursorMeasurement.h"
#include "trace/TraceSet.h"

#include <cstdint>
#include <functional>
#include <vector>

// What one change of the document touched. Every command sends one of these, once; the widgets
// that show the document redraw the parts named here from the document itself.
struct DocumentChange {
    bool slots = false;   // traces loaded, removed or cleared: lists and curves follow the slots
    bool current = false; // another slot became current (or none is left)
    bool events = false;  // the current trace's events changed
    bool info = false;    // the current trace's fibre information or events source changed
    bool verdict = false; // the pass/fail thresholds may have changed
    bool cursors = false; // how the A-B readout measures changed
    // Event-list row to select after an event change, -1 none.
    int selectEventRow = -1;

    bool any() const { return slots || current || events || info || verdict || cursors; }
    DocumentChange &operator|=(const DocumentChange &other);
};

// The loaded traces of one run: the eight slots, the current one and, per trace, its events, its
// cursors (distances in m, TraceData::cursorA/B) and its mapping (from the trace's index and
// spacing). The session owns one. It changes only through the commands of the program, each of
// which ends with one publish(); widgets subscribe and keep at most caches derived from it.
class TraceDocument {
public:
    using Listener = std::function<void(const DocumentChange &)>;

    TraceSet traces;
    // How the A-B readout measures.
    MeasurementMode measurementMode = MeasurementMode::TwoPoint;

    TraceDocument() = default;
    TraceDocument(const TraceDocument &) = delete;
    TraceDocument &operator=(const TraceDocument &) = delete;

    // Listeners are called in the order they subscribed. The id undoes the subscription.
    int subscribe(Listener listener);
    void unsubscribe(int id);
    // Sends `change` to every listener, unless it names nothing.
    void publish(const DocumentChange &change);
    // Notices sent so far.
    uint64_t notices() const { return m_notices; }

    // The current slot and its trace while one is loaded, else null.
    const TraceSlot *currentSlot() const;
    TraceSlot *currentSlot();
    const TraceData *currentTrace() const;

    // A number no earlier load of this document had, for a slot just loaded (TraceSlot::loadStamp).
    uint64_t nextLoadStamp() { return ++m_loadStamps; }

    // The edits of the slots themselves. Each returns what it changed (nothing when it changed
    // nothing) for the command that made it to publish.
    // Makes slot `slot` current.
    DocumentChange select(int slot);
    // Removes loaded slot `slot`: the slots after it move up one place with their colours
    // renumbered, and the slot now at the removed place (or the new last one) becomes current.
    DocumentChange remove(int slot);
    // Unloads every trace.
    DocumentChange clear();
    // The A-B readout measures this way.
    DocumentChange setMeasurementMode(MeasurementMode mode);

private:
    struct Subscription {
        int id;
        Listener listener;
    };
    std::vector<Subscription> m_listeners;
    int m_nextId = 0;
    uint64_t m_notices = 0;
    uint64_t m_loadStamps = 0;
};

// Removes slot `slot` from the trace set, closing the gap: the freed slot moves to the end and
// the occupied slots after it move up one place, each keeping its TraceData object. loadedCount
// drops by one and currentSlot by one unless it is 0. Returns false (nothing changed) for a
// slot outside the loaded ones.
bool removeTraceSlot(TraceSet &set, int slot);

// The row selected after removing one: the smaller of the removed row and the new last row;
// -1 when the list is empty.
int rowAfterRemove(int removedRow, int rowCountAfter);
