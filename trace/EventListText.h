#pragma once

#include "trace/TraceData.h"

#include <QString>

#include <array>
#include <vector>

// Texts of the main window's event list, computed without a widget.

// "%.1f" of r, prefixed with ">" when the "%.3f" text ends in "88" and with "<" when it ends
// in "77" (the instrument's way of marking a saturated or floor reflectance).
QString FormatReflectance(float r);

struct EventRow {
    int icon = 0; // 0 non-reflective, 1 reflective
    std::array<QString, 7> columns;
};

// One row per event after the first: row r shows event r + 1. `unit` is the distance unit
// setting, `decimals` the DFigure setting.
std::vector<EventRow> eventListRows(const TraceData &trace, const QString &unit, int decimals);
