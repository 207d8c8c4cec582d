#pragma once

#include "trace/TraceData.h"

#include <QString>

#include <optional>

// What the two cursors A and B measure on a trace, in one of three ways:
// - two-point: the levels under A and B (loss their difference, attenuation the loss per km);
// - LSA: the least-squares line through every sample between A and B (attenuation its slope,
//   loss the attenuation times the distance from A to B), so that noise averages out;
// - splice: lines fitted over [A - (B - A), A] and [B, B + (B - A)], both taken to the midpoint
//   of A and B, the loss their difference (the loss of an event between the cursors, free of
//   the fibre's own attenuation); the attenuation the mean slope of the two lines.
// Losses are positive for a fall in level from A to B. Distances are metres of the trace, where
// sample k lies at (k + 1) x the sample spacing; the cursor nearer the start counts as A.

enum class MeasurementMode { TwoPoint, Lsa, Splice };

struct CursorMeasurement {
    double lossDb = 0.0;
    double attenuationDbKm = 0.0;
};

// The key of a mode as the command line and Config.ini write it: "two-point", "lsa", "splice".
QString measurementModeKey(MeasurementMode mode);
// The mode of a key (any case); empty for an unknown key.
std::optional<MeasurementMode> measurementModeFromKey(const QString &key);

// True when distance `m` lies on the trace: from its start to its last sample.
bool onTrace(const TraceData &trace, double m);

// The measurement between `aM` and `bM`; empty when a cursor lies off the trace, the cursors
// coincide, or a fit has fewer than two samples to go through.
std::optional<CursorMeasurement> measureCursors(const TraceData &trace, MeasurementMode mode, double aM, double bM);
