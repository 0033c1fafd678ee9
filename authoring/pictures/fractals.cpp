#include "authoring/pictures/recipes.h"

#include <cmath>

// Escape-time fractals.

namespace pictures {

namespace {

// Smooth escape count of z -> z^2 + c (or the burning-ship variant), -1 inside.
double EscapeCount(double zr, double zi, double cr, double ci, int limit, bool burning) {
    for (int n = 0; n < limit; ++n) {
        if (burning) {
            zr = std::fabs(zr);
            zi = std::fabs(zi);
        }
        const double r2 = zr * zr, i2 = zi * zi;
        if (r2 + i2 > 256) return n + 1 - std::log2(0.5 * std::log2(r2 + i2));
        zi = 2 * zr * zi + ci;
        zr = r2 - i2 + cr;
    }
    return -1;
}

}  // namespace

Rgb SeahorseValley(double x, double y) {
    const double n = EscapeCount(0, 0, -0.743328 + x * 0.0016, 0.13123 - y * 0.0016, 500, false);
    if (n < 0) return {0.05, 0.08, 0.25};
    return Lagoon(0.9 * std::log(n + 1)) * (0.5 + 0.5 * Smooth(20, 80, n));
}

Rgb JuliaSet(double x, double y) {
    const double n = EscapeCount(x * 1.15, y * 1.15, -0.8, 0.156, 300, false);
    if (n < 0) return {0.3, 0.05, 0.2};
    return Ember(0.55 + 0.025 * n) * (0.35 + 0.65 * Smooth(0, 18, n));
}

Rgb NewtonBasins(double x, double y) {
    double zr = x * 1.1, zi = y * 1.1;
    static const double roots[3][2] = {{1, 0}, {-0.5, 0.8660254}, {-0.5, -0.8660254}};
    static const Rgb colours[3] = {{1.0, 0.42, 0.35}, {0.2, 0.75, 0.75}, {1.0, 0.8, 0.25}};
    for (int n = 0; n < 60; ++n) {
        for (int k = 0; k < 3; ++k) {
            const double dr = zr - roots[k][0], di = zi - roots[k][1];
            if (dr * dr + di * di < 1e-6) return colours[k] * (0.45 + 0.55 * std::exp(-n * 0.09));
        }
        // z - (z^3 - 1) / (3 z^2)
        const double r2 = zr * zr - zi * zi, i2 = 2 * zr * zi;  // z^2
        const double r3 = r2 * zr - i2 * zi, i3 = r2 * zi + i2 * zr;  // z^3
        const double denominator = 3 * (r2 * r2 + i2 * i2);
        if (denominator < 1e-12) break;
        const double qr = ((r3 - 1) * r2 + i3 * i2) / denominator, qi = (i3 * r2 - (r3 - 1) * i2) / denominator;
        zr -= qr;
        zi -= qi;
    }
    return {0.3, 0.2, 0.4};
}

Rgb BurningShip(double x, double y) {
    const double n = EscapeCount(0, 0, -1.762 + x * 0.035, -0.028 + y * 0.035, 150, true);
    if (n < 0) return {0.35, 0.06, 0.05};
    return Ember(0.02 * n + 0.9) * (0.4 + 0.6 * Smooth(0, 16, n));
}

}  // namespace pictures
