#include "trace/EventListText.h"

#include "trace/Units.h"

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

bool knownUnit(const QString &unit)
{
    return unit == QLatin1String("m") || unit == QLatin1String("mi") || unit == QLatin1String("ft");
}

} // namespace

QString FormatReflectance(float r)
{
    const double v = r;
    const QString exact = QString::asprintf("%.3f", v);
    if (exact.endsWith(QLatin1String("88")))
        return QString::asprintf(">%.1f", v);
    if (exact.endsWith(QLatin1String("77")))
        return QString::asprintf("<%.1f", v);
    return QString::asprintf("%.1f", v);
}

std::vector<EventRow> eventListRows(const TraceData &trace, const QString &unit, int decimals)
{
    std::vector<EventRow> rows;
    const auto &events = trace.events;
    const int n = static_cast<int>(events.size());
    if (n < 2)
        return rows;
    rows.reserve(static_cast<size_t>(n - 1));

    // Offsets beyond 5 km are taken as unset by the list, though the view still applies them.
    float offset = trace.userOffset;
    if (offset < -5000.0f || offset > 5000.0f)
        offset = 0.0f;

    float previous = 0.0f;
    int lastIcon = 0;
    for (int k = 1; k < n; ++k) {
        const TraceEvent &e = events[static_cast<size_t>(k)];
        EventRow row;
        // An event kind other than 0 or 1 keeps the icon of the row above (0 for the first row).
        row.icon = (e.typeDigit == 0 || e.typeDigit == 1) ? e.typeDigit : lastIcon;
        lastIcon = row.icon;
        const QString number = QString::number(k);
        row.columns[0] = kindPrefix(e.codeLetter) + number;
        if (knownUnit(unit)) {
            const float distanceKm = units::convertKm((e.distance - offset) / 1000.0f, unit);
            const float segmentKm = units::convertKm((e.distance - previous) / 1000.0f, unit);
            row.columns[1] = units::formatDecimals(distanceKm, decimals);
            row.columns[2] = units::formatDecimals(segmentKm, decimals);
        } else {
            row.columns[1] = number;
            row.columns[2] = number;
        }
        previous = e.distance;
        row.columns[3] = (k == n - 1) ? QStringLiteral("--") : threeDecimalsOrDashes(e.loss);
        row.columns[4] = threeDecimalsOrDashes(e.totalLoss);
        row.columns[5] = threeDecimalsOrDashes(e.attenuation);
        row.columns[6] = e.reflectance == 0.0f ? QStringLiteral("--") : FormatReflectance(e.reflectance);
        rows.push_back(std::move(row));
    }
    return rows;
}
