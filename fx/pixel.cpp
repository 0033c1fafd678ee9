#include "fx/pixel.h"

#include <cstring>

void BlendFrame(const Picture& source, Picture& destination, int alpha) {
    // Weights outside 0..255 would carry one channel into the next.
    const uint32_t a = static_cast<uint32_t>(alpha < 0 ? 0 : alpha > 255 ? 255 : alpha);
    const uint32_t keep = 255 - a;
    const uint32_t* s = source.Pixels;
    uint32_t* d = destination.Pixels;
    for (int i = 0; i < PicturePixels; ++i) {
        const uint32_t rb = (d[i] & 0x00FF00FF) * keep + (s[i] & 0x00FF00FF) * a;
        const uint32_t g = (d[i] & 0x0000FF00) * keep + (s[i] & 0x0000FF00) * a;
        d[i] = ((rb & 0xFF00FF00) | (g & 0x00FF0000)) >> 8;
    }
}

void CopyFrame(const Picture& source, Picture& destination) {
    std::memcpy(destination.Pixels, source.Pixels, sizeof destination.Pixels);
}
