#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Truncation toward zero for pixel and sample arithmetic that never overflows: NaN gives the
// platform's "integer indefinite" (INT32_MIN, 0 for 64 bits), out-of-range values saturate.
namespace viewmath {

inline int32_t truncToInt(double v)
{
    if (std::isnan(v))
        return std::numeric_limits<int32_t>::min();
    if (v >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

inline int64_t truncToInt64(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 9.0e18)
        return static_cast<int64_t>(9.0e18);
    if (v <= -9.0e18)
        return static_cast<int64_t>(-9.0e18);
    return static_cast<int64_t>(v);
}

} // namespace viewmath
