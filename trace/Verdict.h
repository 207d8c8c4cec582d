#pragma once

#include "config/PassThresholds.h"

struct TraceData;
struct TraceSet;

// The pass/fail verdict of a trace, judged against the thresholds of the pass/fail dialog.
enum Verdict : int {
    VerdictNone = 0,
    VerdictPass = 1,
    VerdictFail = 2,
    VerdictIncomplete = 3, // a value an enabled check needs is zero
};

// Judges a trace's events against the thresholds: 0 none, 1 pass, 2 fail, 3 incomplete.
// No trace or no events give 0.
int ComputeVerdict(const TraceData *trace, const PassThresholds &thresholds);

// The verdict of the current slot's trace; 0 when that slot holds no file.
int ComputeVerdict(const TraceSet &traces, const PassThresholds &thresholds);
