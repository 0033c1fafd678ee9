#pragma once
// Scales photographs and drawings into picture files.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "facts/picture.h"

// An image of 8-bit sRGB pixels, three bytes red, green, blue each, row by row.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// `pixels` pixels of red, green, blue, alpha bytes laid over black into red,
// green, blue bytes, rounded to the nearest; `rgb` may be `rgba` itself.
void LayOverBlack(const uint8_t* rgba, size_t pixels, uint8_t* rgb);

// Scales `image` to cover `width` x `height` with its aspect kept and crops the
// middle, into 0x00RRGGBB `pixels`. Shrinking averages the area each output
// pixel covers and enlarging interpolates bilinearly, both in linear light.
void ScaleToCover(const RgbImage& image, int width, int height, uint32_t* pixels);

// The same into a picture, 320 x 240; spare bytes are 0.
void ScaleToCover(const RgbImage& image, Picture& picture);
