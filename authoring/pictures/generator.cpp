#include "authoring/pictures/generator.h"

#include <cmath>
#include <cstdint>

#include "authoring/pictures/recipes.h"

namespace {

using namespace pictures;

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
