#pragma once
// 16.16 fixed point, the positions and steps of the rotozoom and the radial
// blur: signed 32-bit integers with 16 fraction bits.

#include <cmath>
#include <cstdint>

constexpr int FixedShift = 16;
constexpr int32_t FixedOne = 1 << FixedShift;
// The bilinear sampler weighs only the top four fraction bits.
constexpr int SampleFractionShift = FixedShift - 4;

// Truncates toward zero into a signed 32-bit integer, saturating values the
// type cannot hold (NaN becomes 0) instead of invoking undefined behaviour.
inline int32_t TruncateToInt32(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

constexpr int32_t FixedFromInt(int whole) { return whole * FixedOne; }
// Truncated toward zero and saturated, like TruncateToInt32.
inline int32_t FixedFromReal(double value) { return TruncateToInt32(value * FixedOne); }
// The whole part, rounded toward minus infinity.
constexpr int32_t FixedWhole(int32_t position) { return position >> FixedShift; }
// The top four fraction bits, 0..15: the sixteenths the sampler weighs.
constexpr uint32_t FixedSixteenths(int32_t position) {
    return (static_cast<uint32_t>(position) >> SampleFractionShift) & 15;
}

// Signed 32-bit wrap-around arithmetic without undefined behaviour.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
