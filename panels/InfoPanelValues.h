#pragma once

#include "panels/TextLookup.h"

#include <QString>

#include <cstdint>

struct TraceData;
struct TraceSet;

// The texts of the information panel's value fields for one trace.
struct InfoPanelValues {
    QString wavelength;      // 1005
    QString sampleCount;     // 1006
    QString testRange;       // 1007
    QString averagingTime;   // 1008
    QString pulseWidth;      // 1009
    QString refractiveIndex; // 1010
    QString orl;             // 1023
    QString cableId;         // 1013
    QString fiberType;       // 1014
    QString fiberId;         // 1015
    QString operatorName;    // 1016
    QString fileName;        // 1017
    QString fileDate;        // 1021
    QString eventsSource;    // 1024: the events come from the analysis or from the file
};

// Formats every field; `unit` is the distance unit setting ("m", "mi" or "ft").
InfoPanelValues infoPanelValues(const TraceData &trace, const QString &fileName, const QString &unit,
                                const TextLookup &texts);

// "%.2f km", "%.2f miles" or "%.2f kft" of a range in metres; empty for an unknown unit.
QString testRangeText(int32_t rangeMetres, const QString &unit);

// Text identifier naming a fibre-type code (G.651/652/653/655); 231 for any other code.
int fiberTypeTextId(int32_t fiberType);

// The test date as every output shows it: local time, empty for a time before 1970
// (traceformat::testDateText).
QString fileDateText(int32_t timestamp);

// The row "Toggle curve" selects: the one after `clickedRow` (row 1 when none), wrapping to 0;
// -1 (nothing to do) with fewer than two rows.
int nextTraceRow(int rowCount, int clickedRow);

