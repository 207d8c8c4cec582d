#include "print/ReportTexts.h"

#include "trace/TraceSet.h"
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

// Distances of the event table in the shown unit (km stays km).
float shownKm(float km, const QString &unit)
{
    return (unit == QLatin1String("mi") || unit == QLatin1String("ft")) ? units::convertKm(km, unit) : km;
}

} // namespace

QString reportDateText(qint64 secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
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
    if (!settings.selfDefine) {
        v.wavelength = QString::number(t.wavelengthNm);
        v.pulse = QString::number(t.pulseWidthNs);
        v.range = QString::number(t.rangeMetres);
        v.lossThreshold = thresholdText(t.lossThreshold, 3, autoText);
        v.reflectionThreshold = thresholdText(t.reflectanceThreshold, 3, autoText);
        v.endThreshold = thresholdText(t.endThreshold, 3, autoText);
        v.backscatter = thresholdText(t.backscatter, 1, autoText);
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

AbTexts abTexts(const CursorPair &c)
{
    const float d = std::fabs(c.aDistance - c.bDistance);
    const float p = std::fabs(c.aLevel - c.bLevel);
    AbTexts t;
    t.distance = d > 10000.0f ? QString::asprintf("%.3f Km", static_cast<double>(d / 1000.0f))
                              : QString::asprintf("%.2f m", static_cast<double>(d));
    t.loss = p == 0.0f ? QStringLiteral("--") : QString::asprintf("%.3f dB", static_cast<double>(p));
    t.slope = (d == 0.0f || p == 0.0f) ? QStringLiteral("--")
                                       : QString::asprintf("%.3f dB/km", static_cast<double>(p * 1000.0f / d));
    return t;
}

AbTexts measuredAbTexts(const CursorPair &c, const TraceData &trace, MeasurementMode mode, const ReportLabels &labels)
{
    AbTexts t = abTexts(c);
    if (mode == MeasurementMode::TwoPoint)
        return t;
    const QString name = mode == MeasurementMode::Lsa ? labels.measureLsa : labels.measureSplice;
    const auto m = measureCursors(trace, mode, c.aDistance, c.bDistance);
    t.loss = (m ? QString::asprintf("%.3f dB", m->lossDb) : QStringLiteral("--")) + QStringLiteral(" (%1)").arg(name);
    t.slope = m ? QString::asprintf("%.3f dB/km", m->attenuationDbKm) : QStringLiteral("--");
    return t;
}

CursorFractions cursorFractions(const CursorPair &c, const TraceData &trace)
{
    const float length = static_cast<float>(trace.sampleCount) * trace.sampleSpacing;
    if (!(length > 0.0f))
        return {};
    return {c.aDistance / length, c.bDistance / length};
}

std::vector<EventRow> eventRows(const TraceData &trace, const QString &unit, const ReportLabels &labels)
{
    std::vector<EventRow> rows;
    const auto &events = trace.events;
    for (size_t m = 1; m < events.size(); ++m) {
        const TraceEvent &e = events[m];
        QString number = QString::number(m);
        if (e.typeDigit == 1)
            number += labels.reflect;
        else if (e.typeDigit == 0)
            number += labels.nonReflect;
        switch (e.codeLetter) {
        case 'S': case 'E': case 'A': case 'F': case 'O':
            number += QStringLiteral("(%1)").arg(QLatin1Char(e.codeLetter));
            break;
        default:
            break;
        }
        const float previous = m == 1 ? 0.0f : events[m - 1].distance;
        EventRow row;
        row[0] = number;
        row[1] = fixed(shownKm((e.distance - trace.userOffset) / 1000.0f, unit), 3);
        row[2] = fixed(shownKm((e.distance - previous) / 1000.0f, unit), 3);
        row[3] = e.codeLetter == 'E' ? QStringLiteral("--") : fixed(e.loss, 3);
        row[4] = e.totalLoss == 0.0f ? QStringLiteral("--") : fixed(e.totalLoss, 3);
        row[5] = fixed(e.attenuation, 3);
        row[6] = (e.typeDigit != 0 && e.reflectance != 0.0f) ? fixed(e.reflectance, 3) : QStringLiteral("--");
        rows.push_back(row);
    }
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
