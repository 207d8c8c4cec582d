#include "panels/InfoPanelValues.h"

#include "textres/TextIds.h"
#include "trace/TraceData.h"
#include "trace/TraceFormat.h"
#include "trace/TraceSet.h"
#include "trace/Units.h"

#include <QDateTime>

#include <algorithm>

QString testRangeText(int32_t rangeMetres, const QString &unit)
{
    const float km = static_cast<float>(rangeMetres) / 1000.0f;
    if (unit == QLatin1String("m"))
        return QString::asprintf("%.2f km", static_cast<double>(km));
    if (unit == QLatin1String("mi"))
        return QString::asprintf("%.2f miles", static_cast<double>(units::convertKm(km, unit)));
    if (unit == QLatin1String("ft"))
        return QString::asprintf("%.2f kft", static_cast<double>(units::convertKm(km, unit)));
    return QString();
}

int fiberTypeTextId(int32_t fiberType)
{
    switch (fiberType) {
    case 651: return 233;
    case 653: return 232;
    case 655: return 234;
    default: return 231;
    }
}

QString fileDateText(int32_t timestamp)
{
    return traceformat::testDateText(timestamp);
}

InfoPanelValues infoPanelValues(const TraceData &trace, const QString &fileName, const QString &unit,
                                const TextLookup &texts)
{
    InfoPanelValues v;
    v.wavelength = units::wavelengthText(trace.wavelengthNm);
    v.sampleCount = QString::number(trace.sampleCount);
    v.testRange = testRangeText(trace.rangeMetres, unit);
    v.averagingTime = units::averagingTimeText(trace.averagingTime);
    v.pulseWidth = units::pulseWidthText(trace.pulseWidthNs);
    v.refractiveIndex = units::refractiveIndexText(trace.refractiveIndex);
    v.orl = units::orlText(trace.orlDb);
    v.cableId = trace.cableId;
    v.fiberType = lookupText(texts, fiberTypeTextId(trace.fiberType));
    v.fiberId = trace.fiberId;
    v.operatorName = trace.operatorName;
    v.fileName = fileName;
    v.fileDate = fileDateText(trace.timestamp);
    if (!trace.events.empty())
        v.eventsSource = lookupText(texts, trace.eventsFromAnalysis ? text::EventsFromAnalysis : text::EventsFromFile);
    return v;
}

int nextTraceRow(int rowCount, int clickedRow)
{
    if (rowCount < 2)
        return -1;
    const int next = clickedRow < 0 ? 1 : clickedRow + 1;
    return next >= rowCount ? 0 : next;
}
