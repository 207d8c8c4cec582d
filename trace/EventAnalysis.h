#pragma once

#include "analysis/QM7ZZZ.h"

#include <QString>

// The entries of the event-analysis library, bound by name from libQM7ZZZ.so. Any entry may be
// unbound (library absent, or the name missing); callers check before calling. A value: the
// session binds it once at start and hands it to the commands; a test gives its session another.
struct EventAnalysisBinding {
    QM7ZZZ_deleteEvent_fn deleteEvent = nullptr;
    QM7ZZZ_insertEvent_fn insertEvent = nullptr;
    QM7ZZZ_Event_Analysis_fn eventAnalysis = nullptr;
    void *algorithmVersion = nullptr; // QM7ZZZ_algorithm_Version, never called by the program
    QM7ZZZ_Acount_Total_Loss_fn totalLoss = nullptr;
};

// Loads libQM7ZZZ.so from `folder` (the executable's folder) and looks up the five entries. The
// library stays loaded for the life of the process, so the entries stay valid however long the
// binding is kept. A missing file gives a binding with every entry unbound.
EventAnalysisBinding bindEventAnalysis(const QString &folder);
