#pragma once
// PNG images read through SDL2_image.

#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <string>
#include <vector>

// An image's pixels as 0x00RRGGBB words, row by row; no pixels, width and
// height 0, where the file holds no image.
struct PngPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;
};

inline PngPixels ReadPng(const std::string& path) {
    PngPixels png;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    SDL_Surface* image = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0) : nullptr;
    SDL_FreeSurface(loaded);
    if (!image) return png;
    png.width = image->w;
    png.height = image->h;
    for (int y = 0; y < image->h; ++y)
        for (int x = 0; x < image->w; ++x)
            png.rgb.push_back(static_cast<const uint32_t*>(image->pixels)[y * image->pitch / 4 + x] & 0xFFFFFF);
    SDL_FreeSurface(image);
    return png;
}
