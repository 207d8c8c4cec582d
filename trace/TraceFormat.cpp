#include "trace/TraceFormat.h"

#include <QDateTime>

#include <cmath>

namespace traceformat {

namespace {

QString kindPrefix(char codeLetter)
{
    switch (codeLetter) {
    case 'S': return QStringLiteral("(S)");
    case 'E': return QStringLiteral("(E)");
    case 'A': return QStringLiteral("(A)");
    case 'F': return QStringLiteral("(F)");
    case 'O': return QStringLiteral("(O)");
    default: return QStringLiteral("    ");
    }
}

QString kindSuffix(char codeLetter)
{
    switch (codeLetter) {
    case 'S': case 'E': case 'A': case 'F': case 'O':
        return QStringLiteral("(%1)").arg(QLatin1Char(codeLetter));
    default:
        return {};
    }
}

QString threeDecimalsOrDashes(float value)
{
    if (value == 0.0f)
        return QStringLiteral("--");
    QString text = QString::asprintf("%.3f", static_cast<double>(value));
    // A tiny negative value (an added event on a smooth slope) would read "-0.000".
    if (text == QLatin1String("-0.000"))
        text.remove(0, 1);
    return text;
}

QString numberText(const TraceEvent &e, int k, const EventRowStyle &style)
{
    const QString number = QString::number(k);
    if (!style.labelledNumbers)
        return kindPrefix(e.codeLetter) + number;
    QString text = number;
    if (e.typeDigit == 1)
        text += style.reflectLabel;
    else if (e.typeDigit == 0)
        text += style.nonReflectLabel;
    return text + kindSuffix(e.codeLetter);
}

} // namespace

QString testDateText(int32_t timestamp)
{
    if (timestamp < 0)
        return QString();
    return QDateTime::fromSecsSinceEpoch(timestamp).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString reflectanceText(float r, int decimals)
{
    const double v = r;
    const QString exact = QString::asprintf("%.3f", v);
    const QString shown = QString::asprintf("%.*f", decimals, v);
    if (exact.endsWith(QLatin1String("88")))
        return QLatin1Char('>') + shown;
    if (exact.endsWith(QLatin1String("77")))
        return QLatin1Char('<') + shown;
    return shown;
}

std::vector<EventRowText> eventRowTexts(const TraceData &trace, const EventRowStyle &style)
{
    std::vector<EventRowText> rows;
    const auto &events = trace.events;
    const int n = static_cast<int>(events.size());
    if (n < 2)
        return rows;
    rows.reserve(static_cast<size_t>(n - 1));

    // Offsets beyond 5 km are taken as unset by the list, though the view still applies them.
    float offset = trace.userOffset;
    if (offset < -5000.0f || offset > 5000.0f)
        offset = 0.0f;
    const bool knownUnit = style.unit != units::DistanceUnit::Unknown;

    float previous = 0.0f;
    int lastIcon = 0;
    for (int k = 1; k < n; ++k) {
        const TraceEvent &e = events[static_cast<size_t>(k)];
        EventRowText row;
        // An event kind other than 0 or 1 keeps the icon of the row above (0 for the first row).
        row.icon = (e.typeDigit == 0 || e.typeDigit == 1) ? e.typeDigit : lastIcon;
        lastIcon = row.icon;
        row.columns[0] = numberText(e, k, style);
        if (knownUnit) {
            const float distanceKm = units::convertKm((e.distance - offset) / 1000.0f, style.unit);
            const float segmentKm = units::convertKm((e.distance - previous) / 1000.0f, style.unit);
            row.columns[1] = units::formatDecimals(distanceKm, style.distanceDecimals);
            row.columns[2] = units::formatDecimals(segmentKm, style.distanceDecimals);
        } else {
            row.columns[1] = QString::number(k);
            row.columns[2] = QString::number(k);
        }
        previous = e.distance;
        row.columns[3] = (k == n - 1) ? QStringLiteral("--") : threeDecimalsOrDashes(e.loss);
        row.columns[4] = threeDecimalsOrDashes(e.totalLoss);
        row.columns[5] = threeDecimalsOrDashes(e.attenuation);
        row.columns[6] = e.reflectance == 0.0f ? QStringLiteral("--") : reflectanceText(e.reflectance, style.reflectanceDecimals);
        rows.push_back(std::move(row));
    }
    return rows;
}

AbTexts abTexts(float aDistance, float bDistance, float lossDb, units::DistanceUnit unit, AbSpelling spelling)
{
    const bool view = spelling == AbSpelling::View;
    const float g = std::fabs(aDistance - bDistance); // m
    const float a = std::fabs(lossDb);
    AbTexts t;
    t.loss = view ? QString::asprintf("%.2fdB", static_cast<double>(a))
                  : (a == 0.0f ? QStringLiteral("--") : QString::asprintf("%.3f dB", static_cast<double>(a)));
    const char *space = view ? "" : " ";
    if (unit == units::DistanceUnit::Miles || unit == units::DistanceUnit::Kilofeet) {
        const float m = units::convertKm(g / 1000.0f, unit);
        const char *suffix = unit == units::DistanceUnit::Miles ? "miles" : "kft";
        t.distance = QString::asprintf("%.3f%s%s", static_cast<double>(m), space, suffix);
        if (m == 0.0f || (!view && a == 0.0f))
            t.slope = view ? QStringLiteral("-- dB/%1").arg(QLatin1String(suffix)) : QStringLiteral("--");
        else
            t.slope = QString::asprintf("%.3f dB/%s", static_cast<double>(a / m), suffix);
        return t;
    }
    if (unit == units::DistanceUnit::Unknown && view) {
        // The view keeps no distance text for a unit it does not know.
        return t;
    }
    const bool km = g > 10000.0f;
    const float shown = km ? g / 1000.0f : g;
    t.distance = view ? QString::asprintf(km ? "%.3fkm" : "%.2fm", static_cast<double>(shown))
                      : QString::asprintf(km ? "%.3f Km" : "%.2f m", static_cast<double>(shown));
    if (g == 0.0f || (!view && a == 0.0f))
        t.slope = view ? QStringLiteral("-- dB/km") : QStringLiteral("--");
    else
        t.slope = QString::asprintf("%.3f dB/km", static_cast<double>(a / (g / 1000.0f)));
    return t;
}

} // namespace traceformat
