#include "trace/Units.h"

namespace units {

float convertKm(float km, const QString &unit)
{
    if (unit == QLatin1String("ft"))
        return static_cast<float>(static_cast<double>(km) * kmToKft);
    if (unit == QLatin1String("mi"))
        return static_cast<float>(static_cast<double>(km) * kmToMiles);
    return km;
}

QString formatDecimals(float value, int n)
{
    const double v = value;
    switch (n) {
    case 1: return QString::asprintf("%.1f", v);
    case 2: return QString::asprintf("%.2f", v);
    case 3: return QString::asprintf("%.3f", v);
    case 4: return QString::asprintf("%.4f", v);
    default: return QString::asprintf("%.f", v);
    }
}

QString longSuffix(const QString &unit)
{
    if (unit == QLatin1String("mi"))
        return QStringLiteral("miles");
    if (unit == QLatin1String("ft"))
        return QStringLiteral("kft");
    return QStringLiteral("km");
}

QString wavelengthText(int nm)
{
    return QString::asprintf("%dnm", nm);
}

QString pulseWidthText(int ns)
{
    if (ns < 1000)
        return QString::asprintf("%d ns", ns);
    return QString::asprintf("%d us", ns / 1000);
}

QString refractiveIndexText(float n)
{
    return QString::asprintf("%.3f", static_cast<double>(n));
}

QString averagingTimeText(int seconds)
{
    return QString::asprintf("%dS", seconds);
}

QString orlText(float orlDb)
{
    if (!(orlDb > 0.0f))
        return QStringLiteral("--");
    return QString::asprintf("%.2f dB", static_cast<double>(orlDb));
}

} // namespace units
