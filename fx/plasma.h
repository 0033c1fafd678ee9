#pragma once

#include <cstdint>

#include "fx/picture.h"

constexpr int SineTableSize = 20002;

// (sin(i / 45) + 1) * 256, truncated: values 0..511.
extern int32_t SineTable[SineTableSize];

void BuildSineTable();

// Fills the band of `destination` with the plasma pattern for `phase`;
// phases that differ by a multiple of 283 give the same pattern.
void DrawPlasma(Picture& destination, uint32_t phase);

// The straightforward scalar plasma that every faster level must match.
void DrawPlasmaScalar(Picture& destination, uint32_t phase);
