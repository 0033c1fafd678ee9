#include "authoring/pictures/generator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <numbers>

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;

// Colours are red, green and blue from 0 to 1, stored as sRGB as they are.
struct Rgb {
    double r, g, b;
};
Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
Rgb Mix(Rgb a, Rgb b, double t) { return a * (1 - t) + b * t; }
double Smooth(double edge0, double edge1, double v) {
    const double t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}
double Fract(double v) { return v - std::floor(v); }

// Smoothly cycling colour ramps: offset + amplitude * cos(2 pi (rate t + phase)).
struct Palette {
    Rgb offset, amplitude, rate, phase;
    Rgb operator()(double t) const {
        return {offset.r + amplitude.r * std::cos(TwoPi * (rate.r * t + phase.r)),
                offset.g + amplitude.g * std::cos(TwoPi * (rate.g * t + phase.g)),
                offset.b + amplitude.b * std::cos(TwoPi * (rate.b * t + phase.b))};
    }
};
const Palette Rainbow{{0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 1}, {0.0, 0.33, 0.67}};
const Palette Ember{{0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 1}, {0.0, 0.1, 0.2}};
const Palette Lagoon{{0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 0.5}, {0.8, 0.9, 0.3}};
const Palette Dusk{{0.6, 0.4, 0.55}, {0.4, 0.35, 0.4}, {1, 1, 1}, {0.0, 0.1, 0.25}};

// Integer hashing and gradient noise: the same values everywhere, no tables.
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

// ---- The pictures. x runs from -4/3 to 4/3 left to right, y from -1 at the
// top to 1 at the bottom; the centre of the screen is (0, 0).

Rgb SunsetMountains(double x, double y) {
    const double up = -y;
    const Rgb layers[5] = {{0.88, 0.5, 0.5}, {0.7, 0.33, 0.45}, {0.52, 0.2, 0.4}, {0.36, 0.12, 0.32}, {0.24, 0.08, 0.24}};
    // Ridges from the nearest to the farthest: the first one above the point hides the rest.
    for (int k = 4; k >= 0; --k) {
        const double frequency = 0.8 + 0.5 * k;
        double ridge = 0, amplitude = 0.5;
        for (int octave = 0; octave < 4; ++octave) {
            const double scale = frequency * (1 << octave);
            ridge += amplitude * (1 - std::fabs(Noise(x * scale + 5.3 * k, 0.37 * octave + 2.1 * k, 11)));
            amplitude *= 0.5;
        }
        const double top = 0.1 - 0.19 * k + (0.6 - 0.06 * k) * (ridge * ridge - 0.35);
        if (up < top) {
            const Rgb mist = k > 0 ? layers[k - 1] : Rgb{1.0, 0.7, 0.55};
            const Rgb colour = Mix(layers[k], mist, 0.45 * Smooth(0.04, 0.3, top - up));
            return colour * (1 + 0.25 * std::exp(-(top - up) * 40));  // rim light from the sun
        }
    }
    const Rgb sky = Mix({1.0, 0.6, 0.3}, {0.3, 0.12, 0.45}, std::pow(Clamp01((up + 0.15) / 1.15), 0.7));
    const double sun = std::hypot(x, up - 0.16);
    if (sun < 0.22) return {1.0, 0.93, 0.72};
    return sky + Rgb{1.0, 0.5, 0.25} * (0.45 * std::exp(-sun * 3));
}

Rgb SeahorseValley(double x, double y) {
    const double n = EscapeCount(0, 0, -0.743328 + x * 0.0016, 0.13123 - y * 0.0016, 500, false);
    if (n < 0) return {0.05, 0.08, 0.25};
    return Lagoon(0.9 * std::log(n + 1)) * (0.5 + 0.5 * Smooth(20, 80, n));
}

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

double IslandHeight(double x, double y) {
    return Fbm(x * 1.7 + 5, y * 1.7, 6, 31) * 1.1 + 0.42 * std::exp(-(x * x + y * y) * 1.6) - 0.14;
}

Rgb IslandMap(double x, double y) {
    const double h = IslandHeight(x, y);
    const double e = 0.004;
    const double slope = (IslandHeight(x + e, y) - IslandHeight(x - e, y) + IslandHeight(x, y + e) -
                          IslandHeight(x, y - e)) / (2 * e);
    if (h < 0) {
        const Rgb deep{0.04, 0.18, 0.48}, shallow{0.1, 0.62, 0.78};
        return Mix(deep, shallow, Smooth(-0.35, 0, h)) * (1 + 0.15 * Smooth(-0.03, 0, h));
    }
    struct Stop {
        double height;
        Rgb colour;
    };
    static const Stop stops[] = {{0.0, {0.93, 0.85, 0.55}}, {0.03, {0.45, 0.72, 0.28}}, {0.14, {0.2, 0.52, 0.2}},
                                 {0.26, {0.55, 0.45, 0.32}}, {0.36, {0.62, 0.58, 0.55}}, {0.42, {0.97, 0.97, 1.0}}};
    Rgb colour = stops[5].colour;
    for (int i = 0; i < 5; ++i)
        if (h < stops[i + 1].height) {
            colour = Mix(stops[i].colour, stops[i + 1].colour, (h - stops[i].height) / (stops[i + 1].height - stops[i].height));
            break;
        }
    return colour * std::clamp(1 - slope * 0.35, 0.55, 1.35);
}

Rgb JuliaSet(double x, double y) {
    const double n = EscapeCount(x * 1.15, y * 1.15, -0.8, 0.156, 300, false);
    if (n < 0) return {0.3, 0.05, 0.2};
    return Ember(0.55 + 0.025 * n) * (0.35 + 0.65 * Smooth(0, 18, n));
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

Rgb NeonHorizon(double x, double y) {
    const double up = -y, horizon = -0.08;
    if (up > horizon) {
        Rgb sky = Mix({1.0, 0.38, 0.55}, {0.16, 0.06, 0.36}, std::sqrt((up - horizon) / 1.1));
        const double sunY = 0.34, sunRadius = 0.4;
        const double d = std::hypot(x, up - sunY);
        sky = sky + Rgb{1.0, 0.3, 0.6} * (0.3 * std::exp(-std::max(0.0, d - sunRadius) * 6));
        if (d < sunRadius) {
            const double below = (sunY + 0.05 - up) / (sunRadius + 0.05);  // 0 at the cut line, 1 at the bottom
            const bool gap = below > 0 && Fract((up - sunY) / 0.075) < 0.15 + 0.4 * below;
            if (!gap) sky = Mix({1.0, 0.9, 0.3}, {1.0, 0.22, 0.55}, Clamp01((sunY + sunRadius - up) / (2 * sunRadius)));
        }
        const double ridge = 0.02 + 0.16 * (0.45 + Fbm(x * 2.2, 4.0, 4, 51)) * Smooth(0.15, 0.9, std::fabs(x));
        if (up < horizon + ridge) {
            const double edge = horizon + ridge - up;
            sky = Mix({0.95, 0.35, 0.9}, {0.22, 0.06, 0.34}, Smooth(0, 0.015, edge));
        }
        return sky;
    }
    // The floor seen in perspective; lines keep about two pixels' width at any depth.
    const double depth = 0.4 / (horizon - up);
    const double u = x * depth, v = depth * 1.5;
    const double pixel = 1.0 / 120;
    const double lineU = Smooth(0.02 + 2 * pixel * depth, 0, std::fabs(Fract(u + 0.5) - 0.5));
    const double lineV = Smooth(0.02 + 2 * pixel * depth * depth * 1.5 / 0.4, 0, std::fabs(Fract(v + 0.5) - 0.5));
    const double fog = std::exp(-depth * 0.25);
    const Rgb floor{0.2, 0.04, 0.3};
    const Rgb line = Rgb{0.25, 0.95, 1.0} * std::max(lineU, lineV);
    return Mix(Rgb{1.0, 0.38, 0.6}, floor + line, fog);
}

Rgb Nebula(double x, double y) {
    const double px = x * 1.3, py = y * 1.3;
    const double qx = Fbm(px, py, 5, 61), qy = Fbm(px + 5.2, py + 1.3, 5, 61);
    const double rx = Fbm(px + 4 * qx + 1.7, py + 4 * qy + 9.2, 5, 62);
    const double ry = Fbm(px + 4 * qx + 8.3, py + 4 * qy + 2.8, 5, 62);
    const double f = Fbm(px + 4 * rx, py + 4 * ry, 5, 63);
    Rgb colour = Mix({0.12, 0.2, 0.55}, {0.85, 0.3, 0.65}, Clamp01(f * 2 + 0.5));
    colour = Mix(colour, {0.1, 0.7, 0.75}, Clamp01(std::fabs(qx) * 1.6));
    colour = Mix(colour, {1.0, 0.85, 0.55}, Clamp01(std::fabs(rx) * 1.2 - 0.1));
    colour = colour * (0.55 + 0.8 * Clamp01(f + 0.5)) + Rgb{0.9, 0.8, 1.0} * (0.5 * std::exp(-(x * x + y * y) * 4));
    return colour + Rgb{1, 1, 1} * Star(x, y, 40, 0.12, 64);
}

// A few polished balls over a checkered floor, ray traced.
struct Vec {
    double x, y, z;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Normalize(Vec a) { return a * (1 / std::sqrt(Dot(a, a))); }

struct Ball {
    Vec centre;
    double radius;
    Rgb colour;
};
const Ball Balls[] = {{{0, 1, 0}, 1, {0.95, 0.2, 0.25}},          {{-2.1, 0.65, 0.9}, 0.65, {0.2, 0.45, 1.0}},
                      {{1.95, 0.75, 0.7}, 0.75, {1.0, 0.75, 0.15}}, {{0.95, 0.4, -1.25}, 0.4, {0.2, 0.85, 0.4}},
                      {{-1.15, 0.35, -1.35}, 0.35, {0.75, 0.3, 1.0}}};
const Vec SunDirection = Normalize({-0.5, 0.8, -0.45});

// Distance along the ray to the nearest ball or the floor; `ball` is -1 for the floor.
double Intersect(Vec origin, Vec direction, int& ball) {
    double nearest = 1e30;
    ball = -2;
    for (int i = 0; i < static_cast<int>(std::size(Balls)); ++i) {
        const Vec offset = origin - Balls[i].centre;
        const double b = Dot(offset, direction), c = Dot(offset, offset) - Balls[i].radius * Balls[i].radius;
        const double discriminant = b * b - c;
        if (discriminant <= 0) continue;
        const double t = -b - std::sqrt(discriminant);
        if (t > 1e-6 && t < nearest) {
            nearest = t;
            ball = i;
        }
    }
    if (direction.y < 0) {
        const double t = -origin.y / direction.y;
        if (t > 1e-6 && t < nearest) {
            nearest = t;
            ball = -1;
        }
    }
    return nearest;
}

Rgb TraceRay(Vec origin, Vec direction, int bounces) {
    int ball;
    const double t = Intersect(origin, direction, ball);
    if (ball == -2)
        return Mix({0.95, 0.75, 0.65}, {0.25, 0.45, 0.85}, Clamp01(direction.y * 2.5)) +
               Rgb{1, 0.85, 0.6} * (0.6 * std::pow(Clamp01(Dot(direction, SunDirection)), 40));
    const Vec point = origin + direction * t;
    Vec normal{0, 1, 0};
    Rgb surface;
    double shine = 0.35;
    if (ball >= 0) {
        normal = Normalize(point - Balls[ball].centre);
        surface = Balls[ball].colour;
    } else {
        const bool light = (static_cast<int>(std::floor(point.x * 0.8)) + static_cast<int>(std::floor(point.z * 0.8))) & 1;
        surface = light ? Rgb{0.95, 0.92, 0.85} : Rgb{0.15, 0.55, 0.6};
        shine = 0.2;
    }
    int blocker;
    const bool shadowed = Intersect(point + normal * 1e-4, SunDirection, blocker) < 1e29 && blocker >= 0;
    const double diffuse = shadowed ? 0 : std::max(0.0, Dot(normal, SunDirection));
    const Vec reflected = direction - normal * (2 * Dot(direction, normal));
    const double highlight = shadowed ? 0 : std::pow(std::max(0.0, Dot(reflected, SunDirection)), 50);
    Rgb colour = surface * (0.3 + 0.75 * diffuse) + Rgb{1, 1, 1} * (0.8 * highlight);
    if (bounces > 0) colour = Mix(colour, TraceRay(point + normal * 1e-4, reflected, bounces - 1), shine);
    const double haze = 1 - std::exp(-t * 0.025);
    return Mix(colour, {0.85, 0.75, 0.8}, haze);
}

Rgb PolishedBalls(double x, double y) {
    const Vec eye{0, 1.7, -5.4};
    const Vec forward = Normalize(Vec{0, 0.75, 0} - eye);
    const Vec right = Normalize({forward.z, 0, -forward.x});
    const Vec up{-right.z * forward.y, right.z * forward.x - right.x * forward.z, right.x * forward.y};
    return TraceRay(eye, Normalize(forward + right * (x * 0.62) + up * (y * 0.62)), 3);
}

Rgb RainbowSpiral(double x, double y) {
    const double r = std::hypot(x, y) + 1e-9;
    const double s = std::atan2(y, x) / TwoPi * 5 + std::log(r) * 1.8;
    const double band = Fract(s);
    const Rgb colour = Rainbow(s * 0.2 + r * 0.25) * (0.55 + 0.45 * Smooth(0, 0.12, band) * Smooth(1, 0.8, band));
    return colour + Rgb{1, 0.95, 0.85} * std::exp(-r * 7);
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

Rgb Aurora(double x, double y) {
    const double up = -y;
    Rgb colour = Mix({0.1, 0.35, 0.45}, {0.06, 0.08, 0.28}, Clamp01((up + 0.3) / 1.2));
    // Curtains: a wavy band with fine vertical rays, green below fading to violet above.
    const double centre = 0.25 + 0.18 * std::sin(x * 2.1 + 0.6) + 0.12 * Fbm(x * 1.3, 0.5, 3, 71);
    const double above = up - centre;
    const double rays = 0.55 + 0.45 * Fbm(x * 14, up * 0.6, 3, 72);
    const double curtain = std::exp(-std::max(0.0, above) * 2.6) * Smooth(-0.12, 0.02, above) * rays;
    colour = colour + Mix({0.2, 1.0, 0.55}, {0.75, 0.3, 0.95}, Clamp01(above * 1.6)) * (0.95 * curtain);
    colour = colour + Rgb{0.8, 0.8, 0.9} * Star(x, y, 30, 0.1, 73);
    const double hills = -0.42 + 0.12 * std::sin(x * 1.7 + 1.2) + 0.07 * Fbm(x * 3, 1.5, 4, 75);
    if (up < hills) {
        const Rgb snow = Mix({0.75, 0.85, 0.95}, {0.35, 0.45, 0.7}, Clamp01((hills - up) * 1.5));
        colour = snow + Rgb{0.2, 0.6, 0.4} * (0.3 * Smooth(0.1, 0, hills - up));  // the aurora's glow on the snow
    }
    return colour;
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

Rgb BurningShip(double x, double y) {
    const double n = EscapeCount(0, 0, -1.762 + x * 0.035, -0.028 + y * 0.035, 150, true);
    if (n < 0) return {0.35, 0.06, 0.05};
    return Ember(0.02 * n + 0.9) * (0.4 + 0.6 * Smooth(0, 16, n));
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

Rgb RingedPlanet(double x, double y) {
    Rgb colour = Mix({0.1, 0.12, 0.35}, {0.35, 0.12, 0.4}, Clamp01(0.5 + 0.6 * Fbm(x * 1.5, y * 1.5, 4, 101)));
    colour = colour + Rgb{1, 1, 1} * Star(x, y, 40, 0.08, 102);
    // The rings lie in a plane tilted towards the viewer; depth z grows away from the eye.
    const double tilt = 0.32, planetRadius = 0.5;
    const double ringZ = -y / std::tan(tilt), ringDistance = std::hypot(x, ringZ / std::cos(tilt));
    const double planetZ = planetRadius * planetRadius - x * x - y * y;
    const bool onPlanet = planetZ > 0;
    const double surfaceZ = onPlanet ? -std::sqrt(planetZ) : 0;
    const bool ringInFront = ringDistance > 0.68 && ringDistance < 1.22 && (!onPlanet || ringZ < surfaceZ);
    if (onPlanet && !ringInFront) {
        const Vec normal{x / planetRadius, y / planetRadius, surfaceZ / planetRadius};
        const double light = std::max(0.0, Dot(normal, Normalize({-0.6, -0.5, -0.62})));
        const double latitude = normal.y * std::cos(tilt) + normal.z * std::sin(tilt);
        const Rgb band = Palette{{0.75, 0.55, 0.4}, {0.25, 0.2, 0.2}, {1, 1, 1}, {0.0, 0.05, 0.1}}(
            latitude * 3.2 + 0.3 * Fbm(latitude * 12, normal.x * 2, 3, 104));
        return band * (0.25 + 0.95 * light);
    }
    if (ringDistance > 0.68 && ringDistance < 1.22) {
        const double gap = Smooth(0.0, 0.012, std::fabs(ringDistance - 0.98));
        const Rgb ring = Mix({0.95, 0.85, 0.65}, {0.7, 0.55, 0.45}, Fract(ringDistance * 7)) * (0.75 + 0.25 * gap);
        colour = Mix(colour, ring, 0.85 * gap + 0.1);
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

using Shader = Rgb (*)(double x, double y);

struct Recipe {
    const char* name;
    Shader shade;
    int samples;  // per side of each pixel: fine edges are averaged over samples x samples points
};

const Recipe Recipes[DefaultPictureCount] = {
    {"sunset mountains", SunsetMountains, 2}, {"seahorse valley", SeahorseValley, 2},
    {"kaleidoscope", Kaleidoscope, 1},        {"island map", IslandMap, 1},
    {"julia set", JuliaSet, 2},               {"stained glass", StainedGlass, 2},
    {"neon horizon", NeonHorizon, 3},         {"nebula", Nebula, 1},
    {"polished balls", PolishedBalls, 2},     {"rainbow spiral", RainbowSpiral, 2},
    {"newton basins", NewtonBasins, 2},       {"aurora", Aurora, 1},
    {"sunflower", Sunflower, 2},              {"tunnel", Tunnel, 2},
    {"burning ship", BurningShip, 2},         {"agate", Agate, 1},
    {"ringed planet", RingedPlanet, 2},       {"honeycomb", Honeycomb, 2},
    {"moire rings", MoireRings, 2},           {"metaballs", Metaballs, 2},
    {"truchet", Truchet, 2},                  {"wave interference", WaveInterference, 2},
    {"lens checks", LensChecks, 2},
};

uint32_t Channel(double value) { return static_cast<uint32_t>(std::lround(Clamp01(value) * 255)); }

}  // namespace

void GeneratePicture(int number, Picture& picture) {
    const Recipe& recipe = Recipes[number - 1];
    const int n = recipe.samples;
    for (int py = 0; py < PictureHeight; ++py)
        for (int px = 0; px < PictureWidth; ++px) {
            Rgb sum{0, 0, 0};
            for (int sy = 0; sy < n; ++sy)
                for (int sx = 0; sx < n; ++sx) {
                    const double x = (px + (sx + 0.5) / n - CentreX) / CentreY;
                    const double y = (py + (sy + 0.5) / n - CentreY) / CentreY;
                    const Rgb c = recipe.shade(x, y);
                    sum = sum + Rgb{Clamp01(c.r), Clamp01(c.g), Clamp01(c.b)};
                }
            sum = sum * (1.0 / (n * n));
            picture.Pixels[py * PictureWidth + px] = Channel(sum.r) << 16 | Channel(sum.g) << 8 | Channel(sum.b);
        }
}

const char* DefaultPictureName(int number) { return Recipes[number - 1].name; }
