#include "authoring/pictures/recipes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "authoring/pictures/noise.h"

// Patterns and ornaments.

namespace pictures {

Rgb Kaleidoscope(double x, double y) {
    const double r = std::hypot(x, y);
    const double sector = TwoPi / 12;
    double angle = std::fmod(std::atan2(y, x) + TwoPi, sector);
    if (angle > sector / 2) angle = sector - angle;
    const double px = r * std::cos(angle), py = r * std::sin(angle);
    const double v = Fbm(px * 3.2, py * 3.2 + 1.7, 4, 21);
    const double w = Fbm(px * 7 + v * 2, py * 7, 3, 22);
    Rgb colour = Rainbow(v * 1.6 + r * 0.7 + 0.1);
    colour = colour * (0.72 + 0.28 * std::cos(w * 9)) * (0.85 + 0.15 * std::cos(r * 32));
    return colour + Rgb{1, 0.9, 0.8} * (0.5 * std::exp(-r * 9));
}

Rgb StainedGlass(double x, double y) {
    const double r = std::hypot(x, y);
    const double scale = 4.5 / (0.55 + 0.45 * std::min(r, 1.3));  // smaller panes towards the centre
    const double px = x * scale, py = y * scale;
    const int32_t cx = static_cast<int32_t>(std::floor(px)), cy = static_cast<int32_t>(std::floor(py));
    double nearest = 9, second = 9;
    uint32_t pane = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const double sx = cx + dx + 0.15 + 0.7 * HashUnit(cx + dx, cy + dy, 41);
            const double sy = cy + dy + 0.15 + 0.7 * HashUnit(cx + dx, cy + dy, 42);
            const double d = std::hypot(px - sx, py - sy);
            if (d < nearest) {
                second = nearest;
                nearest = d;
                pane = Hash(cx + dx, cy + dy, 43);
            } else if (d < second) {
                second = d;
            }
        }
    const Rgb glass = Rainbow((pane >> 8) / 16777216.0) * (0.8 + 0.2 * Fbm(x * 9, y * 9, 3, 44));
    const Rgb lit = glass * (0.65 + 0.6 * std::exp(-r * r * 1.5)) + Rgb{1, 0.95, 0.8} * (0.35 * std::exp(-r * 6));
    return Mix({0.16, 0.13, 0.12}, lit, Smooth(0.05, 0.1, second - nearest));
}

Rgb RainbowSpiral(double x, double y) {
    const double r = std::hypot(x, y) + 1e-9;
    const double s = std::atan2(y, x) / TwoPi * 5 + std::log(r) * 1.8;
    const double band = Fract(s);
    const Rgb colour = Rainbow(s * 0.2 + r * 0.25) * (0.55 + 0.45 * Smooth(0, 0.12, band) * Smooth(1, 0.8, band));
    return colour + Rgb{1, 0.95, 0.85} * std::exp(-r * 7);
}

// A sunflower: seeds laid at the golden angle, petals around them.
Rgb Sunflower(double x, double y) {
    const double r = std::hypot(x, y), angle = std::atan2(y, x);
    const double seedRadius = 0.42, spacing = 0.0165;
    if (r < seedRadius) {
        const double golden = std::numbers::pi * (3 - std::sqrt(5.0));
        const int middle = static_cast<int>((r / spacing) * (r / spacing));
        double nearest = 1;
        for (int n = std::max(1, middle - 40); n <= middle + 40; ++n) {
            const double seedR = spacing * std::sqrt(static_cast<double>(n)), seedA = n * golden;
            nearest = std::min(nearest, std::hypot(x - seedR * std::cos(seedA), y - seedR * std::sin(seedA)));
        }
        const Rgb seed = Mix({0.95, 0.55, 0.1}, {0.45, 0.2, 0.08}, r / seedRadius);
        return Mix(seed * 1.25, {0.22, 0.1, 0.05}, Smooth(spacing * 0.35, spacing * 0.6, nearest));
    }
    for (int layer = 1; layer >= 0; --layer) {
        const double count = 21, length = 0.55 - 0.12 * layer;
        const double along = (r - seedRadius + 0.04) / length;
        const double across = Fract(angle / TwoPi * count + 0.5 * layer) - 0.5;
        if (along < 1 && std::fabs(across) < 0.48 * std::sin(std::numbers::pi * std::min(1.0, along * 0.9 + 0.05))) {
            const Rgb petal = Mix({1.0, 0.62, 0.08}, {1.0, 0.9, 0.25}, along) * (layer ? 0.82 : 1.0);
            return petal * (0.85 + 0.15 * Smooth(0, 0.12, std::fabs(across)));
        }
    }
    // A leafy background with soft out-of-focus discs.
    Rgb colour = Mix({0.25, 0.6, 0.35}, {0.1, 0.35, 0.45}, Clamp01((y + 1) / 2));
    const double bx = x * 3, by = y * 3;
    const int32_t cx = static_cast<int32_t>(std::floor(bx)), cy = static_cast<int32_t>(std::floor(by));
    const double d = std::hypot(bx - cx - 0.5, by - cy - 0.5);
    colour = colour + Rgb{0.5, 0.7, 0.4} * (0.35 * HashUnit(cx, cy, 81) * Smooth(0.4, 0.3, d));
    return colour;
}

Rgb Tunnel(double x, double y) {
    const double r = std::hypot(x, y) + 1e-9;
    const double depth = 0.35 / r, around = std::atan2(y, x) / TwoPi * 12;
    const bool light = (static_cast<int>(std::floor(depth * 3)) + static_cast<int>(std::floor(around + 12))) & 1;
    const Rgb tile = Rainbow(around / 12 + depth * 0.15) * (light ? 1.0 : 0.6);
    return Mix(tile, {1.0, 0.95, 0.9}, Smooth(2.5, 9, depth));
}

Rgb Agate(double x, double y) {
    const double r = std::hypot(x * 1.1, y) + 0.28 * Fbm(x * 1.8, y * 1.8, 5, 91);
    const double bands = r * 10;
    Rgb colour = Palette{{0.55, 0.5, 0.65}, {0.4, 0.35, 0.35}, {1, 1, 1}, {0.6, 0.72, 0.82}}(bands * 0.11);
    colour = colour * (0.8 + 0.2 * std::cos(bands * TwoPi * 2.5)) +
             Rgb{1, 1, 1} * (0.25 * Smooth(0.85, 1, std::cos(bands * TwoPi)));
    if (r < 0.16) {  // a hollow of small crystals at the heart
        const int32_t cx = static_cast<int32_t>(std::floor(x * 60)), cy = static_cast<int32_t>(std::floor(y * 60));
        colour = Mix({0.75, 0.85, 1.0}, {0.95, 0.95, 1.0}, HashUnit(cx, cy, 92));
    }
    return colour;
}

Rgb Honeycomb(double x, double y) {
    // Hexagons in axial coordinates, rounded to the nearest cell.
    const double size = 0.16;
    const double q = (x * std::sqrt(3.0) / 3 - y / 3) / size, r = (y * 2.0 / 3) / size;
    double cx = std::round(q), cz = std::round(r), cy = std::round(-q - r);
    const double dx = std::fabs(cx - q), dz = std::fabs(cz - r), dy = std::fabs(cy + q + r);
    if (dx > dy && dx > dz) cx = -cy - cz;
    else if (dz > dy) cz = -cx - cy;
    const double centreX = size * std::sqrt(3.0) * (cx + cz / 2), centreY = size * 1.5 * cz;
    const double lx = std::fabs(x - centreX), ly = std::fabs(y - centreY);
    const double edge = std::max(lx, lx * 0.5 + ly * 0.8660254);  // hexagonal distance from the cell's centre
    const double inside = 1 - edge / (size * 0.8660254);
    const double ring = std::hypot(centreX, centreY);
    const Rgb cell = Rainbow(ring * 0.45 + 0.08 * HashUnit(static_cast<int32_t>(cx), static_cast<int32_t>(cz), 111));
    const Rgb bevelled = cell * (0.6 + 0.5 * Smooth(0.05, 0.35, inside)) + Rgb{1, 1, 1} * (0.25 * std::exp(-ring * 4));
    return Mix({0.95, 0.85, 0.6}, bevelled, Smooth(0.03, 0.08, inside));
}

Rgb MoireRings(double x, double y) {
    const double a = std::hypot(x - 0.28, y), b = std::hypot(x + 0.28, y + 0.05);
    const double waves = std::sin(a * 42) + std::sin(b * 42);
    const Rgb colour = Rainbow(std::atan2(y, x) / TwoPi + 0.3 * std::hypot(x, y));
    return Mix(colour * 0.6, Mix(colour, {1, 1, 1}, 0.45), Smooth(-1.2, 1.2, waves));
}

Rgb Metaballs(double x, double y) {
    static const double balls[6][3] = {{0, 0, 0.3},        {0.55, 0.25, 0.22}, {-0.5, 0.3, 0.25},
                                       {0.25, -0.5, 0.2}, {-0.35, -0.45, 0.18}, {0.85, -0.3, 0.15}};
    double field = 0;
    for (const auto& ball : balls) {
        const double dx = x - ball[0], dy = y - ball[1];
        field += ball[2] * ball[2] / (dx * dx + dy * dy + 1e-6);
    }
    if (field < 1) {
        const double glow = Clamp01(field);
        return Mix({0.12, 0.2, 0.42}, {0.55, 0.25, 0.7}, glow * glow) * (0.9 + 0.1 * std::cos(field * 40));
    }
    const double level = std::log(field);
    const Rgb colour = Rainbow(level * 0.3 + 0.05);
    return colour * (0.7 + 0.3 * Smooth(0, 0.3, level)) + Rgb{1, 1, 1} * (0.35 * Smooth(1.4, 2.6, level));
}

Rgb Truchet(double x, double y) {
    const double scale = 5.5;
    const double px = x * scale, py = y * scale;
    const int32_t cx = static_cast<int32_t>(std::floor(px)), cy = static_cast<int32_t>(std::floor(py));
    double lx = px - cx, ly = py - cy;
    if (Hash(cx, cy, 121) & 1) lx = 1 - lx;
    // Two quarter circles join the tile's edge midpoints.
    const double d = std::min(std::fabs(std::hypot(lx, ly) - 0.5), std::fabs(std::hypot(lx - 1, ly - 1) - 0.5));
    const double r = std::hypot(x, y);
    const Rgb stroke = Rainbow(0.3 * r + 0.1 * x + 0.55);
    const Rgb ground = Mix({0.15, 0.22, 0.45}, {0.5, 0.3, 0.55}, Clamp01(1 - r * 0.7));
    Rgb colour = Mix(stroke * (0.7 + 0.45 * Smooth(0.16, 0, d)), ground, Smooth(0.15, 0.19, d));
    return colour + Rgb{1, 0.95, 0.9} * (0.3 * std::exp(-r * 5));
}

Rgb WaveInterference(double x, double y) {
    static const double sources[3][2] = {{-0.5, -0.3}, {0.55, -0.2}, {0.05, 0.5}};
    double sum = 0;
    for (const auto& source : sources) sum += std::cos(std::hypot(x - source[0], y - source[1]) * 26);
    return Dusk(sum * 0.13 + std::hypot(x, y) * 0.25) * (0.75 + 0.25 * sum / 3);
}

Rgb LensChecks(double x, double y) {
    const double r = std::hypot(x, y), lens = 0.75;
    double scale = 6;
    if (r < lens) scale *= 0.45 + 0.55 * std::pow(r / lens, 1.6);  // the checks swell inside the lens
    const bool odd = (static_cast<int>(std::floor(x * scale + 100)) + static_cast<int>(std::floor(y * scale + 100))) & 1;
    const Rgb hue = Rainbow(std::atan2(y, x) / TwoPi + 0.15 * r);
    const double shade = r < lens ? 0.75 + 0.35 * std::sqrt(1 - (r / lens) * (r / lens)) : 0.75;
    return (odd ? hue : Mix(hue, {1, 1, 1}, 0.7)) * shade;
}

}  // namespace pictures
