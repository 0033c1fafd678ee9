#include "facts/band_fit.h"

#include <algorithm>
#include <cstdint>

BandPlace FitBand(int screenWidth, int screenHeight, int width, int height) {
    if (screenWidth <= 0 || screenHeight <= 0 || width <= 0 || height <= 0) return {0, 0, 0, 0, 0};
    const int scale = std::min(screenWidth / width, screenHeight / height);
    int placedWidth = width * scale, placedHeight = height * scale;
    if (scale == 0) {
        // Whichever side runs out first fills the screen; the other follows
        // in proportion, computed exactly rather than through a rounded ratio.
        if (int64_t{screenWidth} * height <= int64_t{screenHeight} * width) {
            placedWidth = screenWidth;
            placedHeight = static_cast<int>(int64_t{height} * screenWidth / width);
        } else {
            placedHeight = screenHeight;
            placedWidth = static_cast<int>(int64_t{width} * screenHeight / height);
        }
    }
    return {(screenWidth - placedWidth) / 2, (screenHeight - placedHeight) / 2, placedWidth, placedHeight, scale};
}
