#pragma once
// Colours for the picture recipes, and the shaping functions they are mixed with.

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pictures {

constexpr double TwoPi = 2 * std::numbers::pi;

// Colours are red, green and blue from 0 to 1, stored as sRGB as they are.
struct Rgb {
    double r, g, b;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }

inline double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
inline Rgb Mix(Rgb a, Rgb b, double t) { return a * (1 - t) + b * t; }
inline double Smooth(double edge0, double edge1, double v) {
    const double t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}
inline double Fract(double v) { return v - std::floor(v); }

// Smoothly cycling colour ramps: offset + amplitude * cos(2 pi (rate t + phase)).
struct Palette {
    Rgb offset, amplitude, rate, phase;
    Rgb operator()(double t) const {
        return {offset.r + amplitude.r * std::cos(TwoPi * (rate.r * t + phase.r)),
                offset.g + amplitude.g * std::cos(TwoPi * (rate.g * t + phase.g)),
                offset.b + amplitude.b * std::cos(TwoPi * (rate.b * t + phase.b))};
    }
};
inline const Palette Rainbow{{0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 1}, {0.0, 0.33, 0.67}};
inline const Palette Ember{{0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 1}, {0.0, 0.1, 0.2}};
inline const Palette Lagoon{{0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 0.5}, {0.8, 0.9, 0.3}};
inline const Palette Dusk{{0.6, 0.4, 0.55}, {0.4, 0.35, 0.4}, {1, 1, 1}, {0.0, 0.1, 0.25}};

}  // namespace pictures
