#include "authoring/pictures/recipes.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "authoring/pictures/noise.h"

// Landscapes, skies and a ray-traced still life.

namespace pictures {

namespace {

double IslandHeight(double x, double y) {
    return Fbm(x * 1.7 + 5, y * 1.7, 6, 31) * 1.1 + 0.42 * std::exp(-(x * x + y * y) * 1.6) - 0.14;
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

}  // namespace

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

Rgb PolishedBalls(double x, double y) {
    const Vec eye{0, 1.7, -5.4};
    const Vec forward = Normalize(Vec{0, 0.75, 0} - eye);
    const Vec right = Normalize({forward.z, 0, -forward.x});
    const Vec up{-right.z * forward.y, right.z * forward.x - right.x * forward.z, right.x * forward.y};
    return TraceRay(eye, Normalize(forward + right * (x * 0.62) + up * (y * 0.62)), 3);
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

}  // namespace pictures
