#pragma once
// The 320 x 240 frame of 32-bit pixels that every effect works on.
// A pixel word is 0xSSRRGGBB: red in bits 16-23, green 8-15, blue 0-7, and a
// spare byte on top that the sampler carries and the blend clears.

#include <cstdint>

constexpr int PictureWidth = 320;
constexpr int PictureHeight = 240;
constexpr int PicturePixels = PictureWidth * PictureHeight;  // 76 800 words
constexpr int PictureBytes = PicturePixels * 4;              // 307 200 bytes

// Only the letterbox band is ever drawn; rows above and below stay black.
constexpr int BandTop = 32;      // first row of the band
constexpr int BandBottom = 208;  // one past its last row (207)

// The screen centre: the rotozoom turns about it and the radial blur smears
// away from it (the blur's left half counts from column CentreX - 1).
constexpr int CentreX = PictureWidth / 2;   // 160
constexpr int CentreY = PictureHeight / 2;  // 120

struct alignas(64) Picture {
    uint32_t Pixels[PicturePixels];
};
