#pragma once
// The 32-bit xorshift generator (shifts 13, 17, 5): cheap numbers, the same
// on every run, for test pictures, benchmark inputs and synthesised noise.

#include <cstdint>

// Advances `state` (never 0) and returns it.
inline uint32_t Xorshift32(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}
