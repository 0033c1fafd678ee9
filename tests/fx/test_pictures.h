#pragma once
// Pictures with detail in every channel, for effect tests.

#include <cstdint>

#include "fx/picture.h"

inline uint32_t NextRandom(uint32_t& seed) {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return seed;
}

inline void FillRandom(Picture& picture, uint32_t seed) {
    for (uint32_t& word : picture.Pixels) word = NextRandom(seed);
}
