#pragma once

#include "analysis/QM7ZZZ.h"

#include <QString>

// The entries of the event-analysis library, bound by name from libQM7ZZZ.so. Any entry may be
// unbound (library absent, or the name missing); callers check before calling.
struct EventAnalysisBinding {
    QM7ZZZ_deleteEvent_fn deleteEvent = nullptr;
    QM7ZZZ_insertEvent_fn insertEvent = nullptr;
    QM7ZZZ_Event_Analysis_fn eventAnalysis = nullptr;
    void *algorithmVersion = nullptr; // QM7ZZZ_algorithm_Version, never called by the program
    QM7ZZZ_Acount_Total_Loss_fn totalLoss = nullptr;
    bool attempted = false;           // a load was tried; it is never tried twice
};

// The process-wide binding.
EventAnalysisBinding &eventAnalysis();

// Loads libQM7ZZZ.so from `folder` (the executable's folder) the first time it is called and
// looks up the five entries. The library stays loaded for the life of the process.
// Returns the binding; a missing file leaves every entry unbound.
const EventAnalysisBinding &bindEventAnalysis(const QString &folder);
