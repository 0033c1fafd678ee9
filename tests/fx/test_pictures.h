#pragma once
// Pictures with detail in every channel, for effect tests.

#include <cstdint>

#include "authoring/xorshift.h"
#include "facts/picture.h"

inline void FillRandom(Picture& picture, uint32_t seed) {
    for (uint32_t& word : picture.Pixels) word = Xorshift32(seed);
}
