#pragma once

#include "analysis/QM7ZZZ.h"
#include "trace/SorRecord.h"
#include "trace/TraceData.h"

#include <cstdint>
#include <vector>

// Turns a SorRecord into a TraceData (a load) and a TraceData into a SorRecord (a save).

// Fills `trace` from `record`: samples of the first trace (normalised to the 1000 scale), the
// acquisition values, the events snapped to samples with their cumulative losses (from the
// event comments, or from `totalLoss` when no event has a comment; 0 when it is null), and the
// information texts. Members the record does not supply keep their values.
void loadTrace(SorRecord record, TraceData &trace, QM7ZZZ_Acount_Total_Loss_fn totalLoss);

// Where an event of SOR time `time` lands on a trace whose event times start `originM` into it
// (TraceData::eventTimeOrigin): its distance, snapped onto its sample when it lies just short of
// it (a tenth of a spacing), and its sample index held inside the samples.
struct EventPosition {
    int32_t index = 0;     // sample index
    float distance = 0.0f; // m
};
EventPosition eventPosition(double metresPerTime, int32_t time, float spacing, uint32_t sampleCount,
                            float originM = 0.0f);

// The SOR time a save writes for an event at `distance`: one that loads back onto that distance
// when there is one (the nearest otherwise).
int32_t eventTime(const TraceMapping &mapping, float distance, uint32_t sampleCount, float originM = 0.0f);

// The record a save writes for `trace`: one trace at scale 1000, the acquisition values, the
// events and the information texts of a save.
void traceToRecord(const TraceData &trace, SorRecord &record);

// The largest integer part of (65535 - raw) / 1000 over every point of every trace (points
// normalised to the 1000 scale); 0 without points.
int maximumLevel(const SorRecord &record);

// The levels the trace view receives: the first `sampleCount` points of all traces taken in
// order, normalised to the 1000 scale, each (65535 - raw) / 1000. Always `sampleCount` entries;
// when the record holds fewer points the rest are 0 dB.
std::vector<float> viewLevels(const SorRecord &record, uint32_t sampleCount);

// The user offset in metres the trace view receives for a record (last "UO" text).
float recordUserOffset(const SorRecord &record);

// A raw point of a trace with scale factor `scaleFactor` on the 1000 scale: raw x scale / 1000,
// rounded, held at 65535. Several instruments store 1470 instead of 1000. A scale factor of 0 or
// below has no meaning; such points are taken as they are.
uint16_t normalisedPoint(uint16_t raw, int16_t scaleFactor);

// The points of `trace` normalised to the 1000 scale (copied as they are at scale 1000).
void normalisedPoints(const SorTrace &trace, size_t count, uint16_t *out);
