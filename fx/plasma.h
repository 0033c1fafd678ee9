#pragma once

#include <cstdint>

#include "facts/picture.h"

constexpr int SineTableSize = 20002;

// (sin(i / 45) + 1) * 256, truncated: values 0..511.
extern int32_t SineTable[SineTableSize];

void BuildSineTable();

// Phases that differ by a multiple of this draw the same pattern.
constexpr uint32_t PlasmaPeriod = 283;

// Fills the band of `destination` with the plasma pattern for `phase`.
void DrawPlasma(Picture& destination, uint32_t phase);

// The straightforward scalar plasma that every faster level must match.
void DrawPlasmaScalar(Picture& destination, uint32_t phase);
