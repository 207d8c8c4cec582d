#pragma once

#include "trace/TraceData.h"
#include "trace/Units.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The one place where a trace's numbers become the texts a technician reads: event rows, the
// A-B readout and the test date. The screen, the report, the CSV export and the summary call
// these, so the same trace reads the same everywhere; what differs between them (decimals, how
// the event number is spelled) is a parameter, never a second rule.
namespace traceformat {

// "yyyy-MM-dd HH:mm:ss" of the trace's time stamp in the machine's local time, as the
// technician reads the clock; empty for a negative stamp (no date stored).
QString testDateText(int32_t timestamp);

// "%.N f" of r, prefixed with ">" when the "%.3f" text ends in "88" and with "<" when it ends in
// "77" (the instrument's way of marking a saturated or floor reflectance).
QString reflectanceText(float r, int decimals);

// How an output spells an event row.
struct EventRowStyle {
    units::DistanceUnit unit = units::DistanceUnit::Metres;
    int distanceDecimals = 3;    // distance and segment, in km (or miles, kft)
    int reflectanceDecimals = 1;
    // The number column: "(F)1" on screen; the report writes "1" + the reflect or non-reflect
    // label + "(F)" when labels are given.
    bool labelledNumbers = false;
    QString reflectLabel;
    QString nonReflectLabel;
};

struct EventRowText {
    int icon = 0; // 0 non-reflective, 1 reflective
    // number, distance, segment, loss, total loss, slope, reflectance
    std::array<QString, 7> columns;
};

// One row per event after the first: row r shows event r + 1. One rule for every output: the
// user offset counts within +-5 km (beyond, it is taken as unset); the last row, and any zero
// value, shows "--"; a saturated or floor reflectance is marked. With an unknown distance unit
// the distance columns show the event number.
std::vector<EventRowText> eventRowTexts(const TraceData &trace, const EventRowStyle &style);

// The A-B readout: distance between the cursors, loss between them, and the slope, in the
// distance unit. Screen and paper spell it their own way.
enum class AbSpelling {
    View,   // "1350.01m", "23.22dB", "17.201 dB/km"; "-- dB/km" for no distance
    Report, // "1350.01 m" ("12.500 Km" beyond 10 km), "23.220 dB", "17.201 dB/km"; "--" for none
};
struct AbTexts {
    QString distance;
    QString loss;
    QString slope;
};
AbTexts abTexts(float aDistance, float bDistance, float lossDb, units::DistanceUnit unit, AbSpelling spelling);

} // namespace traceformat
