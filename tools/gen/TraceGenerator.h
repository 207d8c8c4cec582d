#pragma once

#include "trace/SorRecord.h"

#include <cstdint>
#include <vector>

// Synthetic but physically sensible OTDR traces with known events, for sample files,
// tests and benchmarks.
namespace gen {

enum class EventKind { Splice, Connector, End };

// One event placed on the synthetic fibre; what the analysis should find there.
struct PlannedEvent {
    EventKind kind = EventKind::Splice;
    double distanceM = 0.0;     // from the fibre start
    double lossDb = 0.0;        // step of the backscatter level across the event
    double reflectanceDb = 0.0; // connectors and the end; ignored for splices
};

struct Options {
    int wavelengthNm = 1550;
    int pulseWidthNs = 100;
    double groupIndex = 1.4682;
    double attenuationDbPerKm = 0.19;
    double backscatterDb = -81.0;      // backscatter coefficient for 1 ns
    uint32_t pointCount = 16000;
    double samplingFrequencyMHz = 0.0; // 0: chosen so the range covers 1.25 x the fibre
    int averages = 1000;
    double noiseFloorDb = 28.0;        // dB below the launch level where noise dominates
    uint32_t seed = 1;
    std::vector<PlannedEvent> events;  // in distance order; the last is the fibre end
};

struct Trace {
    SorRecord record;                  // ready to save, KeyEvents filled from the plan
    std::vector<PlannedEvent> truth;   // the events as generated
};

Trace generate(const Options &options);

} // namespace gen
