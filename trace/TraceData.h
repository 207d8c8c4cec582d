#pragma once

#include "analysis/EventList.h"
#include "analysis/QM7ZZZ.h"
#include "trace/TraceMapping.h"

#include <QString>

#include <cstdint>
#include <vector>

// One event as the event list, the trace view and the report show it.
struct TraceEvent {
    int32_t index = 0;        // sample index in TraceData::samples
    int32_t typeDigit = 0;    // first character of the SOR event code minus '0'
    float distance = 0.0f;    // m
    float loss = 0.0f;        // dB
    float reflectance = 0.0f; // dB
    float attenuation = 0.0f; // dB/km, fibre before the event
    float totalLoss = 0.0f;   // dB, cumulative up to and including the event
    float auxValue1 = 0.0f;
    float auxValue2 = 0.0f;
    char codeLetter = 0;      // second character of the SOR event code
};

struct ScreenPoint {
    int32_t x = 0; // pixels
    int32_t y = 0; // pixels
};

// One loaded trace. A slot reuses its TraceData for every file loaded into it; a load
// overwrites only what the file supplies.
struct TraceData {
    TraceData();

    int32_t viewFlag = 0;
    std::vector<uint16_t> samples;       // raw, level dB = (65535 - raw) / 1000
    int32_t verticalOffset = 0;          // pixels
    int32_t firstVisible = 0;            // sample index
    int32_t lastVisible = 0;             // sample index
    float sampleSpacing = 0.0f;          // m
    float refractiveIndex = 0.0f;        // group index
    float viewSpan = 0.0f;
    uint32_t sampleCount = 0;            // samples in `samples`
    float samplingFrequencyMHz = 0.0f;   // MHz
    int32_t rangeMetres = 0;             // m
    int32_t pulseWidthNs = 0;            // ns
    int32_t wavelengthNm = 0;            // nm
    int32_t timestamp = 0;               // s since 1970-01-01
    std::vector<ScreenPoint> screenPoints;
    std::vector<TraceEvent> events;      // file order
    float averages = 0.0f;
    float fibreLength = 0.0f;            // m
    uint32_t colour = 0xFF0000;          // 0x00BBGGRR
    float backscatter = 0.0f;            // dB
    float lossThreshold = 0.0f;          // dB
    float reflectanceThreshold = 0.0f;   // dB
    float endThreshold = 0.0f;           // dB
    float endToEndLossDb = 0.0f;         // dB, the instrument's stored end-to-end loss; 0 none
    int32_t endToEndIndex = 0;           // sample index of the fibre end it was measured to
    float orlDb = 0.0f;                  // dB, the instrument's stored optical return loss; 0 none
    QString supplier;
    float userOffset = 0.0f;             // m
    float userOffsetDistance = 0.0f;
    EventList eventList;
    bool eventsFromAnalysis = false;     // the events were found by the automatic analysis
    float eventTimeOrigin = 0.0f;        // m of the trace where the file's event times start
    int32_t frontPanelOffset = 0;        // 100 ps, the file's front-panel offset, kept through a save
    int32_t averagingTime = 0;           // s
    QString cableId;
    QString fiberId;
    int32_t fiberType = 652;
    QString operatorName;
    float cursorA = 0.0f;                // m
    float cursorB = 0.0f;                // m
    QString locationA;
    QString locationB;
    QString comment;
    QString model;
    QString serialNumber;
    QString direction;
    QString gps;
};

// Files store the backscatter coefficient and the reflectance threshold as magnitudes (80 for a
// coefficient of -80 dB, 40 for a threshold of -40 dB); both are negative quantities. These give
// them signed, as the library and a report take them; 0 stays 0 (not stored).
inline float signedBackscatterDb(const TraceData &trace) { return trace.backscatter > 0.0f ? -trace.backscatter : trace.backscatter; }
inline float signedReflectanceThresholdDb(const TraceData &trace)
{
    return trace.reflectanceThreshold > 0.0f ? -trace.reflectanceThreshold : trace.reflectanceThreshold;
}

// Level of a raw sample in dB, double precision.
inline double levelDb(uint16_t raw) { return TraceMapping::levelDb(raw); }

// Distance of sample index k in metres: index 0 lies one spacing from the start.
inline float sampleDistance(int64_t k, float spacing) { return static_cast<float>(k + 1) * spacing; }

// Copies the first `count` events (at most 100) into `list` with their letters, and the two scalars
// of the last one copied; totalLoss only when `withTotalLoss`. `count` becomes the list's count.
void copyEventsToList(const std::vector<TraceEvent> &events, size_t count, EventList &list, bool withTotalLoss);

// Copies events into eventList; more than 100 events leave the list as it was.
void eventsToEventList(TraceData &trace);

// Rebuilds events from eventList after the event library changed it. A new event lies at its
// sample's distance (TraceMapping); an event the library kept (same sample, same kind) keeps the
// distance it had, to the byte.
void eventListToEvents(TraceData &trace);

// Gives the events of `after` the distance of their match in `before` (same index, type digit
// and code letter), both in file order.
void keepUntouchedDistances(const std::vector<TraceEvent> &before, std::vector<TraceEvent> &after);

// Every event's cumulative loss from the library's total-loss entry. A trace of more than the
// list's 100 events goes through in windows whose sums carry on, so every event gets its value.
// Without the entry or without samples every value is 0.
void libraryTotalLosses(TraceData &trace, QM7ZZZ_Acount_Total_Loss_fn totalLoss);

// The speed of light in m/s and 10^10 (see TraceMapping, the one place of these conversions).
inline constexpr double speedOfLight = TraceMapping::speedOfLight;

// Time in the SOR unit of 100 ps against metres of fibre with the group index n, in double.
inline double timeUnitsForMetres(double metres, float n)
{
    return static_cast<double>(n) * tenToTheTenth() * metres / speedOfLight;
}
inline double metresForTimeUnits(double time, float n) { return TraceMapping(n, 0.0f).metresOfTime(time); }
inline double metresPerTimeUnit(float n) { return TraceMapping(n, 0.0f).metresPerTimeUnit(); }
