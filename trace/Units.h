#pragma once

#include <QString>

// The process-wide distance unit: "m" (km/m), "mi" (miles) or "ft" (kilo-feet).
namespace units {

// The distance unit setting as a value; any other setting text is Unknown.
enum class DistanceUnit { Metres, Miles, Kilofeet, Unknown };
DistanceUnit distanceUnitOf(const QString &setting);
float convertKm(float km, DistanceUnit unit);
QString longSuffix(DistanceUnit unit);

inline constexpr double kmToMiles = 0.621388181;
inline constexpr double kmToKft = 3.281;

// A value in km converted for display: x 3.281 for "ft", x 0.621388181 for "mi", else unchanged.
float convertKm(float km, const QString &unit);

// "%.1f" .. "%.4f" for n = 1..4, "%.f" for any other n.
QString formatDecimals(float value, int n);

// Suffix of long distances: "km", "miles" or "kft" ("km" for an unknown setting).
QString longSuffix(const QString &unit);

// "%dnm"
QString wavelengthText(int nm);

// "%d ns" below 1000 ns, else "%d us" of ns / 1000 (integer division).
QString pulseWidthText(int ns);

// "%.3f"
QString refractiveIndexText(float n);

// "%dS"
QString averagingTimeText(int seconds);

// "%.2f dB" of an optical return loss; "--" for none stored (0 or less).
QString orlText(float orlDb);

} // namespace units
