#include "print/ReportTexts.h"

#include "trace/CumulativeLoss.h"
#include "trace/TraceSet.h"
#include "trace/TraceFormat.h"
#include "trace/Units.h"

#include <QDateTime>

#include <cmath>

namespace {

QString fixed(double value, int decimals)
{
    return QString::asprintf("%.*f", decimals, value);
}

QString thresholdText(float value, int decimals, const QString &autoText)
{
    return value == 0.0f ? autoText : fixed(value, decimals);
}


} // namespace

QString reportDateText(qint64 secondsSinceEpoch)
{
    return traceformat::testDateText(static_cast<int32_t>(secondsSinceEpoch));
}

ReportValues reportValues(const TraceSlot &slot, const PrintSettings &settings, const QString &autoText)
{
    const TraceData &t = *slot.trace;
    ReportValues v;
    if (settings.selfDefine) {
        v.wavelength = settings.wavelength;
        v.pulse = settings.pulse;
        v.range = settings.range;
        v.lossThreshold = settings.lossThreshold;
        v.reflectionThreshold = settings.reflectionThreshold;
        v.endThreshold = settings.endThreshold;
        v.backscatter = settings.backscatterCoeff;
        v.index = settings.index;
        v.average = settings.average;
    }
    v.fileName = slot.fileName;
    v.operatorName = t.operatorName;
    v.testDate = reportDateText(t.timestamp);
    v.model = t.model;
    v.serialNumber = t.serialNumber;
    v.startLocation = t.locationA;
    v.endLocation = t.locationB;
    v.startCable = t.cableId;
    v.startFiber = t.fiberId;
    v.direction = t.direction;
    const int end = fibreEndIndex(t);
    const float total = end >= 0 ? t.events[static_cast<size_t>(end)].totalLoss : 0.0f;
    v.totalLoss = total == 0.0f ? QStringLiteral("--") : fixed(total, 3);
    v.orl = t.orlDb > 0.0f ? fixed(t.orlDb, 2) : QStringLiteral("--");
    if (!settings.selfDefine) {
        v.wavelength = QString::number(t.wavelengthNm);
        v.pulse = QString::number(t.pulseWidthNs);
        v.range = QString::number(t.rangeMetres);
        v.lossThreshold = thresholdText(t.lossThreshold, 3, autoText);
        v.reflectionThreshold = thresholdText(signedReflectanceThresholdDb(t), 3, autoText);
        v.endThreshold = thresholdText(t.endThreshold, 3, autoText);
        v.backscatter = thresholdText(signedBackscatterDb(t), 1, autoText);
        v.average = QString::number(t.averagingTime);
        v.index = fixed(t.refractiveIndex, 3);
    }
    return v;
}

QString rangeText(const QString &range)
{
    const int r = range.trimmed().toInt();
    if (r < 1000)
        return range + QStringLiteral("m");
    return QStringLiteral("%1 km").arg(r / 1000);
}

QString pulseText(const QString &pulse)
{
    const int p = pulse.trimmed().toInt();
    if (p < 1000)
        return pulse + QStringLiteral("ns");
    return QStringLiteral("%1us").arg(p / 1000);
}

AbTexts abTexts(const CursorPair &c, const QString &distanceUnit)
{
    return traceformat::abTexts(c.aDistance, c.bDistance, c.aLevel - c.bLevel, units::distanceUnitOf(distanceUnit),
                                traceformat::AbSpelling::Report);
}

AbTexts measuredAbTexts(const CursorPair &c, const TraceData &trace, MeasurementMode mode, const ReportLabels &labels,
                        const QString &distanceUnit)
{
    AbTexts t = abTexts(c, distanceUnit);
    if (mode == MeasurementMode::TwoPoint)
        return t;
    const QString name = mode == MeasurementMode::Lsa ? labels.measureLsa : labels.measureSplice;
    const auto m = measureCursors(trace, mode, c.aDistance, c.bDistance);
    t.loss = (m ? QString::asprintf("%.3f dB", m->lossDb) : QStringLiteral("--")) + QStringLiteral(" (%1)").arg(name);
    // Per unit of the report's distances, as the screen's readout gives it.
    const units::DistanceUnit unit = units::distanceUnitOf(distanceUnit);
    const bool imperial = unit == units::DistanceUnit::Miles || unit == units::DistanceUnit::Kilofeet;
    const char *per = !imperial ? "km" : unit == units::DistanceUnit::Miles ? "miles" : "kft";
    const double perKm = imperial ? static_cast<double>(units::convertKm(1.0f, unit)) : 1.0;
    t.slope = m ? QString::asprintf("%.3f dB/%s", m->attenuationDbKm / perKm, per) : QStringLiteral("--");
    return t;
}

CursorFractions cursorFractions(const CursorPair &c, const TraceData &trace)
{
    const float length = static_cast<float>(trace.sampleCount) * trace.sampleSpacing;
    if (!(length > 0.0f))
        return {};
    return {c.aDistance / length, c.bDistance / length};
}

std::vector<ReportEventRow> eventRows(const TraceData &trace, const QString &unit, const ReportLabels &labels)
{
    traceformat::EventRowStyle style;
    style.unit = units::distanceUnitOf(unit);
    style.distanceDecimals = 3;
    style.reflectanceDecimals = 3;
    style.labelledNumbers = true;
    style.reflectLabel = labels.reflect;
    style.nonReflectLabel = labels.nonReflect;
    std::vector<ReportEventRow> rows;
    for (traceformat::EventRowText &t : traceformat::eventRowTexts(trace, style))
        rows.push_back(std::move(t.columns));
    return rows;
}

CompactEventLimits compactEventLimits(int perPage)
{
    switch (perPage) {
    case 2: return {6, 1.2f};
    case 4: return {6, 1.5f};
    case 6: return {3, 1.4f};
    case 8: return {3, 1.5f};
    default: return {8, 1.2f};
    }
}

QString verdictText(int verdict)
{
    if (verdict == 1)
        return QStringLiteral("PASS");
    if (verdict == 2)
        return QStringLiteral("FAIL");
    return {};
}

QString modelLine(const QString &model, const QString &serialNumber)
{
    if (model.isEmpty())
        return QStringLiteral(" SN: ") + serialNumber;
    return QStringLiteral("Model: ") + model + QStringLiteral(" SN: ") + serialNumber;
}
