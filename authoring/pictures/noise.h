#pragma once
// Integer hashing and gradient noise for the picture recipes: the same values
// everywhere, no tables.

#include <cstdint>

namespace pictures {

// A well-mixed hash of a lattice point, and the same as a number in [0, 1).
uint32_t Hash(int32_t x, int32_t y, uint32_t seed);
double HashUnit(int32_t x, int32_t y, uint32_t seed);

// Gradient noise, about -1 .. 1.
double Noise(double x, double y, uint32_t seed);

// Fractal sums of noise; each octave turned a little so the lattice never shows.
double Fbm(double x, double y, int octaves, uint32_t seed);

// A starry sky: in a share `density` of the cells of a grid of `cells` per
// unit, a soft dot of random brightness. Returns its brightness at (x, y).
double Star(double x, double y, double cells, double density, uint32_t seed);

}  // namespace pictures
