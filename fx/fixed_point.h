#pragma once

#include <cmath>
#include <cstdint>

// Truncates toward zero into a signed 32-bit integer, saturating values the
// type cannot hold (NaN becomes 0) instead of invoking undefined behaviour.
inline int32_t TruncateToInt32(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Signed 32-bit wrap-around arithmetic without undefined behaviour.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
