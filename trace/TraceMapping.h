#pragma once

#include <cstdint>

struct TraceData;

// How one trace's numbers map onto each other: SOR time (100 ps) <-> metres of fibre <-> sample
// index, and raw sample <-> level in dB. A copyable value; every conversion of the program goes
// through one, so that an event placed by the file, by an edit or by a save lands on the same
// metre everywhere.
class TraceMapping {
public:
    static constexpr double speedOfLight = 299792458.0; // m/s, in vacuum
    static constexpr double fullScaleRaw = 65535.0;     // raw value of 0 dB
    static constexpr double rawPerDb = 1000.0;

    TraceMapping() = default;
    // `spacing` in m per sample; when it is 0 (a trace that only knows its sampling frequency)
    // it follows from the group index and the sampling frequency in MHz.
    TraceMapping(float refractiveIndex, float spacing, float samplingFrequencyMHz = 0.0f);
    static TraceMapping of(const TraceData &trace);

    float refractiveIndex() const { return m_index; }
    float spacing() const { return m_spacing; } // m per sample

    // Sample index k lies (k + 1) spacings from the start. The + 1 wraps as 32-bit arithmetic
    // does, for any index the event library may return.
    float sampleDistance(int32_t index) const;

    // Metres per SOR time unit of 100 ps, for the group index.
    double metresPerTimeUnit() const;
    double metresOfTime(double time) const { return time * metresPerTimeUnit(); }
    // The time nearest to `metres`: a distance read from a time gives that time back exactly.
    int32_t timeOfMetres(double metres) const;

    // Level of a raw sample in dB, and back (rounded, held to 0 .. 65535).
    static double levelDb(uint16_t raw) { return (fullScaleRaw - raw) / rawPerDb; }
    static uint16_t rawOfLevel(double db);

private:
    float m_index = 0.0f;
    float m_spacing = 0.0f;
};

// 10^10, formed by repeated squaring in double (exact).
double tenToTheTenth();
