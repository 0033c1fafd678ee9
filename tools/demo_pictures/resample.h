#pragma once
// Scales photographs and drawings into picture files.

#include <cstdint>
#include <vector>

#include "fx/picture.h"

// An image of 8-bit sRGB pixels, three bytes red, green, blue each, row by row.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// Scales `image` to cover 320 x 240 with its aspect kept and crops the middle.
// Shrinking averages the area each output pixel covers and enlarging
// interpolates bilinearly, both in linear light. Spare bytes are 0.
void ScaleToCover(const RgbImage& image, Picture& picture);
