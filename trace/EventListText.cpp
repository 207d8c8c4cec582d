#include "trace/EventListText.h"

#include "trace/TraceFormat.h"

QString FormatReflectance(float r)
{
    return traceformat::reflectanceText(r, 1);
}

std::vector<EventRow> eventListRows(const TraceData &trace, const QString &unit, int decimals)
{
    traceformat::EventRowStyle style;
    style.unit = units::distanceUnitOf(unit);
    style.distanceDecimals = decimals;
    std::vector<EventRow> rows;
    for (traceformat::EventRowText &t : traceformat::eventRowTexts(trace, style))
        rows.push_back({t.icon, std::move(t.columns)});
    return rows;
}
