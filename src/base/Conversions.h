#pragma once

#include <climits>

namespace kiv {

// A number truncated toward zero to 32 bits, as the processor converts it: NaN and numbers
// beyond 32 bits give the lowest value instead of undefined behaviour.
inline int ToInt32(double d) {
    if (!(d > -2147483649.0 && d < 2147483648.0))
        return INT_MIN;
    return static_cast<int>(d);
}

// 32-bit addition that wraps around as the processor's does.
inline int WrappingAdd(int a, int b) {
    return static_cast<int>(static_cast<unsigned int>(a) + static_cast<unsigned int>(b));
}

} // namespace kiv
