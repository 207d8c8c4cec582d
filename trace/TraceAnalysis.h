#pragma once

#include "analysis/QM7ZZZ.h"
#include "trace/TraceData.h"

#include <optional>

// The automatic event analysis of a loaded trace through the event-analysis library.

// Thresholds of one analysis; an empty value takes the trace's own (its file's), and a file's
// 0 takes the library's default (0.05 dB, -65 dB, 3 dB).
struct AnalysisThresholds {
    std::optional<float> lossDb;        // dB, smallest loss reported
    std::optional<float> reflectanceDb; // dB, smallest reflectance reported (e.g. -65)
    std::optional<float> endDb;         // dB, smallest fall into the noise that ends the fibre
};

// The thresholds an analysis of `trace` uses with `requested`: each requested value, else the
// trace's own.
AnalysisThresholds effectiveThresholds(const TraceData &trace, const AnalysisThresholds &requested);

// Replaces the events of `trace` with the ones `analysis` finds (start, events, end, with their
// cumulative losses). False, with `trace` unchanged, when the entry is unbound, the trace has no
// samples or the library finds nothing.
bool analyzeTrace(TraceData &trace, QM7ZZZ_Event_Analysis_fn analysis, const AnalysisThresholds &thresholds);

// What the loaders do for a file that stores no events: analyses it with its own thresholds.
// True when the events now come from the analysis.
bool analyzeIfNoEvents(TraceData &trace, QM7ZZZ_Event_Analysis_fn analysis);
