#pragma once

#include "trace/LinkSummary.h"
#include "trace/TraceData.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// Results of one fibre measured twice: from both ends (bidirectional) or at two wavelengths,
// and the pairing of a cable's files by fibre. Widget-free; the commands, the windows and the
// report page all take their numbers from here.

// One event as the pairing takes it.
struct FibreEvent {
    double distanceM = 0.0;     // m, from the trace's own launch end
    double lossDb = 0.0;        // dB, the event's own loss as the event list shows it
    double reflectanceDb = 0.0; // dB, 0 for none
};

// What the pairing reads of one trace: its identity, its end-to-end figures and its events
// before the fibre end.
struct FibreTrace {
    QString file;
    int32_t wavelengthNm = 0;
    int32_t pulseWidthNs = 0;
    float refractiveIndex = 0.0f;
    double lengthM = 0.0;               // m, distance of the end event
    std::optional<double> totalLossDb;  // dB, the end event's cumulative loss (as the summary gives it)
    int verdict = 0;                    // as LinkSummary::verdict
    QString cableId;
    QString fiberId;
    QString locationA;                  // where the trace was launched
    QString locationB;
    std::vector<FibreEvent> events;     // every event before the end event, in distance order
};

// The pairing's view of a loaded trace: the length, total loss and verdict from `summary` (the
// link summary of the same trace), the events before the end event from the trace.
FibreTrace fibreTrace(const LinkSummary &summary, const TraceData &trace);

// Which directions (or wavelengths) saw an event.
enum class Seen { Both, First, Second };

// "both", "ab" or "ba" for a bidirectional event.
const char *seenWord(Seen seen);

// Wavelengths closer than this are the same band (instruments store 1548.6 for 1550).
inline constexpr int32_t sameWavelengthNm = 20;

bool sameWavelength(int32_t a, int32_t b);

// The matching tolerance of two traces: `given` when set, else max(25 m, 0.1 m per ns of the
// larger pulse width).
double matchTolerance(std::optional<double> given, int32_t pulseA, int32_t pulseB);

// Pairs of indices into `a` and `b` (each list in distance order) of events that are the same
// event: nearest first, within `tolerance`. An event of one list without a partner appears
// with -1 on the other side. In distance order.
std::vector<std::pair<int, int>> matchEvents(const std::vector<double> &a, const std::vector<double> &b,
                                             double tolerance);

// Why two traces cannot be put together.
enum class PairRefusal { None, DifferentWavelengths, SameWavelength };

// Reasons to doubt a pair that is still formed.
struct PairWarnings {
    bool pulseWidth = false;     // the two pulse widths differ
    bool groupIndex = false;     // the two group indexes differ
    bool length = false;         // the two fibre lengths differ by more than the tolerance
    bool identity = false;       // both traces name a cable or fibre, and they differ
    bool any() const { return pulseWidth || groupIndex || length || identity; }
};

struct BidirEvent {
    double distanceM = 0.0;                // m, A->B frame
    double lossAbDb = 0.0;                 // dB, 0 when A->B did not see it
    double lossBaDb = 0.0;                 // dB, 0 when B->A did not see it
    double lossDb = 0.0;                   // dB, the mean of the two
    std::optional<double> reflectanceDb;   // dB, the worse (higher) of the two; none when neither has one
    Seen seen = Seen::Both;                // First: A->B only, Second: B->A only
};

struct BidirResult {
    PairRefusal refusal = PairRefusal::None;
    PairWarnings warnings;
    double toleranceM = 0.0;
    double fibreLengthM = 0.0;             // m, the longer of the two
    std::optional<double> totalLossAbDb;
    std::optional<double> totalLossBaDb;
    std::optional<double> totalLossDb;     // the mean of the two end-to-end losses, when both exist
    std::vector<BidirEvent> events;        // events between the fibre ends, A->B distance order
};

// The bidirectional analysis of `ab` (launched at A) and `ba` (launched at B). A B->A event at x
// lies at L - x in the A->B frame (L the B->A fibre length); events within the tolerance of
// either fibre end belong to the ends and are left out. Different wavelengths are refused.
BidirResult pairDirections(const FibreTrace &ab, const FibreTrace &ba, std::optional<double> toleranceM = {});

// The events of a bidirectional result as one trace's events: mean loss, worse reflectance.
std::vector<FibreEvent> meanEvents(const BidirResult &result);

inline constexpr double defaultBendThresholdDb = 0.5;

struct WavelengthEvent {
    double distanceM = 0.0;
    double lossShortDb = 0.0;   // dB, 0 when the shorter wavelength did not see it
    double lossLongDb = 0.0;    // dB, 0 when the longer wavelength did not see it
    double differenceDb = 0.0;  // longer minus shorter
    bool macrobend = false;     // the difference reaches the threshold
    Seen seen = Seen::Both;     // First: shorter only, Second: longer only
};

struct WavelengthResult {
    PairRefusal refusal = PairRefusal::None;
    PairWarnings warnings;
    bool swapped = false;       // the second trace given is the shorter wavelength
    int32_t shortNm = 0;
    int32_t longNm = 0;
    double toleranceM = 0.0;
    std::vector<WavelengthEvent> events;  // between the fibre ends, distance order
    int bends = 0;              // events flagged as macrobends
};

// Two traces of one fibre and direction at two wavelengths, in either order. Traces of one
// wavelength are refused.
WavelengthResult compareWavelengths(const FibreTrace &a, const FibreTrace &b, std::optional<double> toleranceM = {},
                                    double thresholdDb = defaultBendThresholdDb);

// The comparison of two event lists already in one frame (shorter first), for fibres whose
// events were averaged over both directions. Events beyond `lengthM` minus the tolerance and
// within the tolerance of the launch are left out.
std::vector<WavelengthEvent> compareEventLists(const std::vector<FibreEvent> &shorter,
                                               const std::vector<FibreEvent> &longer, double lengthM,
                                               double toleranceM, double thresholdDb);

// One fibre at one wavelength among a cable's files: indices into the list given, -1 for none.
struct FibreRow {
    int ab = -1; // launched at the cable's A end (the end the first file of the cable was launched from)
    int ba = -1;
};

// Pairs files by fibre: the same cable and fibre identifiers and wavelength with locations A and
// B swapped are the two directions of one fibre; any other file is a fibre measured from one end.
// Rows in order of each fibre's first file, the wavelengths of a fibre from the shortest.
std::vector<FibreRow> pairByFibre(const std::vector<FibreTrace> &files);
