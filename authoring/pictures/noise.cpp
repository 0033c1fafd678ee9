#include "authoring/pictures/noise.h"

#include <cmath>

#include "authoring/pictures/shading.h"

namespace pictures {

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed ^ (static_cast<uint32_t>(x) * 0x8DA6B343u) ^ (static_cast<uint32_t>(y) * 0xD8163841u);
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}
double HashUnit(int32_t x, int32_t y, uint32_t seed) { return (Hash(x, y, seed) >> 8) / 16777216.0; }

double Noise(double x, double y, uint32_t seed) {
    static const double directions[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1},
                                            {0.7071, 0.7071}, {-0.7071, 0.7071}, {0.7071, -0.7071}, {-0.7071, -0.7071}};
    const double fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const double dx = x - fx, dy = y - fy;
    auto corner = [&](int32_t cx, int32_t cy) {
        const double* g = directions[Hash(ix + cx, iy + cy, seed) & 7];
        return g[0] * (dx - cx) + g[1] * (dy - cy);
    };
    auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const double u = fade(dx), v = fade(dy);
    const double bottom = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * u;
    const double top = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * u;
    return 1.4 * (bottom + (top - bottom) * v);  // about -1 .. 1
}

// Fractal sums of noise; each octave turned a little so the lattice never shows.
double Fbm(double x, double y, int octaves, uint32_t seed) {
    double sum = 0, amplitude = 0.5;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Noise(x, y, seed + static_cast<uint32_t>(i));
        const double nx = 1.6 * x + 1.2 * y + 3.7, ny = -1.2 * x + 1.6 * y + 1.3;
        x = nx;
        y = ny;
        amplitude *= 0.5;
    }
    return sum;
}

// A starry sky: in a share `density` of the cells of a grid of `cells` per
// unit, a soft dot of random brightness. Returns its brightness at (x, y).
double Star(double x, double y, double cells, double density, uint32_t seed) {
    const double sx = x * cells, sy = y * cells;
    const int32_t cx = static_cast<int32_t>(std::floor(sx)), cy = static_cast<int32_t>(std::floor(sy));
    if (HashUnit(cx, cy, seed) >= density) return 0;
    const double d = std::hypot(sx - cx - 0.5, sy - cy - 0.5);
    return (0.4 + 0.6 * HashUnit(cx, cy, seed + 1)) * Smooth(0.25, 0, d);
}

}  // namespace pictures
