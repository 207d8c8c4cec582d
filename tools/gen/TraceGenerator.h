#pragma once

#include "trace/SorRecord.h"

#include <QString>

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

// Descriptive values carried by the generated file.
struct Description {
    QString cableId = QStringLiteral("CBL-0001");
    QString fiberId = QStringLiteral("F001");
    int fiberType = 652;
    QString locationA = QStringLiteral("Central office");
    QString locationB = QStringLiteral("Street cabinet");
    QString cableCode = QStringLiteral("OS2-48F");
    QString operatorName = QStringLiteral("Test Operator");
    QString comment = QStringLiteral("Synthetic trace");
    QString supplier = QStringLiteral("Lumidor");
    QString mainframeId = QStringLiteral("LG-1000");
    QString mainframeSerial = QStringLiteral("MF000001");
    QString moduleId = QStringLiteral("LG-M2");
    QString moduleSerial = QStringLiteral("SN000001");
    QString softwareRevision = QStringLiteral("lumidor-gen 1.0");
    QString other;                     // free text; the viewer shows it as the GPS position
};

struct Options {
    int wavelengthNm = 1550;
    int pulseWidthNs = 100;
    double groupIndex = 1.4682;        // below 1 or not finite: 1.4682
    double attenuationDbPerKm = 0.19;
    double backscatterDb = -81.0;      // backscatter coefficient for 1 ns
    uint32_t pointCount = 16000;
    double samplingFrequencyMHz = 0.0; // 0: chosen so the range covers 1.25 x the fibre
    int averages = 1000;
    double noiseFloorDb = 28.0;        // dB below the launch level where noise dominates
    uint32_t seed = 1;
    std::vector<PlannedEvent> events;  // in distance order; the last is the fibre end

    double startLevelDb = 42.0;        // backscatter level at the fibre start, (65535 - raw) / 1000 scale;
                                       // instruments start near 35-46 dB and views show 0-50 dB
    double fibreLengthM = 10000.0;     // where the fibre ends when `events` holds no End
    double endReflectanceDb = -14.7;   // reflectance of that implied end (open polished connector)
    int averagingTimeS = 30;
    int64_t timestamp = 1767225600;    // s since 1970-01-01 (2026-01-01 00:00 UTC)
    double lossThresholdDb = 0.05;
    double reflectanceThresholdDb = 65.0; // stored unsigned: 65 stands for -65 dB
    double endThresholdDb = 3.0;
    double cursorAM = -1.0;            // < 0: the first event (0 when the end is the only event)
    double cursorBM = -1.0;            // < 0: the fibre end
    double userOffsetM = 0.0;
    // Instruments list the launch connector as a first event at 0 m; the event list shows the
    // events after it. Off by default so `truth` and the KeyEvents match one to one.
    bool startEvent = false;
    double launchReflectanceDb = -45.0; // reflectance written for that start event
    Description description;
};

struct Trace {
    SorRecord record;                  // ready to save, KeyEvents filled from the plan (after the start event)
    std::vector<PlannedEvent> truth;   // the events as generated, sorted, ending with the End
    int32_t dataSpacing = 0;           // FxdParams data spacing: 100 ps per 10000 points
    int32_t groupIndexRaw = 0;         // group index x 100000 as stored
    int32_t cursorATime = 0;           // 100 ps, one-way
    int32_t cursorBTime = 0;           // 100 ps, one-way
    int32_t userOffsetTime = 0;        // 100 ps, one-way
};

Trace generate(const Options &options);

// Typical single-mode fibre values for a wavelength: attenuation in dB/km and the 1 ns
// backscatter coefficient in dB (1310 nm: 0.33 and -79.4, 1550 nm: 0.19 and -81.7).
double typicalAttenuationDbPerKm(int wavelengthNm);
double typicalBackscatterDb(int wavelengthNm);

// One-way time in 100 ps units of a distance on a fibre of group index n, rounded: the trace
// mapping's time of that distance.
int32_t distanceToTime(double distanceM, double n);

// Peak height above the backscatter (display dB) of a reflection of `reflectanceDb` seen with a
// pulse of `pulseWidthNs` on a fibre whose 1 ns backscatter coefficient is `backscatterDb`.
double reflectionHeightDb(double reflectanceDb, double backscatterDb, double pulseWidthNs);

} // namespace gen
