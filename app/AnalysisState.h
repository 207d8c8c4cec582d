#pragma once

#include "config/AnalysisSettings.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceData.h"

#include <QString>

#include <vector>

// The events of one trace as they were before a change, for Edit > Undo.
struct EventsSnapshot {
    const TraceData *trace = nullptr; // the slot's trace object the events belong to
    QString filePath;                 // and its file, so a slot reused by another file never takes them
    std::vector<TraceEvent> events;
    EventList eventList = resetEventList();
    bool eventsFromAnalysis = false;
};

// The event changes that can be taken back, newest last.
struct EventsUndo {
    static constexpr size_t depth = 20;
    std::vector<EventsSnapshot> snapshots;
};

// The thresholds an analysis with `settings` asks for: none (each file's own) or the three set.
AnalysisThresholds thresholdsOf(const AnalysisSettings &settings);

