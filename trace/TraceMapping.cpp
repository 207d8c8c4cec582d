#include "trace/TraceMapping.h"

#include "trace/SorMath.h"
#include "trace/TraceData.h"

#include <cmath>

TraceMapping::TraceMapping(float refractiveIndex, float spacing, float samplingFrequencyMHz)
    : m_index(refractiveIndex), m_spacing(spacing)
{
    // Light travels the fibre twice between two samples.
    if (m_spacing == 0.0f && refractiveIndex > 0.0f && samplingFrequencyMHz > 0.0f)
        m_spacing = static_cast<float>(speedOfLight / (static_cast<double>(refractiveIndex) *
                                                       static_cast<double>(samplingFrequencyMHz) * 1e6) / 2.0);
}

TraceMapping TraceMapping::of(const TraceData &trace)
{
    return TraceMapping(trace.refractiveIndex, trace.sampleSpacing, trace.samplingFrequencyMHz);
}

float TraceMapping::sampleDistance(int32_t index) const
{
    return static_cast<float>(sormath::wrapAdd(index, 1)) * m_spacing;
}

double TraceMapping::metresPerTimeUnit() const
{
    return speedOfLight / (static_cast<double>(m_index) * tenToTheTenth());
}

int32_t TraceMapping::timeOfMetres(double metres) const
{
    return sormath::truncToInt32(std::nearbyint(metres * static_cast<double>(m_index) * tenToTheTenth() / speedOfLight));
}

uint16_t TraceMapping::rawOfLevel(double db)
{
    const double raw = std::round(fullScaleRaw - db * rawPerDb);
    if (!(raw > 0.0))
        return 0;
    return raw >= fullScaleRaw ? static_cast<uint16_t>(65535) : static_cast<uint16_t>(raw);
}

double tenToTheTenth()
{
    // 10^10 by repeated squaring in double: 10^2, 10^4, 10^8, times 10^2. Exact.
    const double p2 = 10.0 * 10.0;
    const double p4 = p2 * p2;
    const double p8 = p4 * p4;
    return p8 * p2;
}
