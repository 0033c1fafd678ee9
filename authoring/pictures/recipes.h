#pragma once
// The recipes of the 23 default pictures: each gives the colour at a point,
// with x from -4/3 to 4/3 left to right and y from -1 at the top to 1 at the
// bottom; the centre of the screen is (0, 0).

#include "authoring/pictures/shading.h"

namespace pictures {

Rgb SunsetMountains(double x, double y);
Rgb SeahorseValley(double x, double y);
Rgb Kaleidoscope(double x, double y);
Rgb IslandMap(double x, double y);
Rgb JuliaSet(double x, double y);
Rgb StainedGlass(double x, double y);
Rgb NeonHorizon(double x, double y);
Rgb Nebula(double x, double y);
Rgb PolishedBalls(double x, double y);
Rgb RainbowSpiral(double x, double y);
Rgb NewtonBasins(double x, double y);
Rgb Aurora(double x, double y);
Rgb Sunflower(double x, double y);
Rgb Tunnel(double x, double y);
Rgb BurningShip(double x, double y);
Rgb Agate(double x, double y);
Rgb RingedPlanet(double x, double y);
Rgb Honeycomb(double x, double y);
Rgb MoireRings(double x, double y);
Rgb Metaballs(double x, double y);
Rgb Truchet(double x, double y);
Rgb WaveInterference(double x, double y);
Rgb LensChecks(double x, double y);

}  // namespace pictures
