#pragma once

#include <cstdint>

// Numeric helpers shared by the SOR reader, loader and saver.
namespace sormath {

// Integer part (truncation toward zero) as a 32-bit integer. A value with no 32-bit integer part
// (NaN, infinity, out of range) gives INT32_MIN, the value the x86 conversion instruction yields,
// instead of undefined behaviour.
inline int32_t truncToInt32(double v)
{
    if (!(v > -2147483649.0 && v < 2147483648.0))
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

// 32-bit two's-complement arithmetic that wraps instead of overflowing.
inline int32_t wrapMul(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t wrapAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

} // namespace sormath
