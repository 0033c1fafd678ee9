#include "fx/pixel.h"

#include <cstring>

#include "fx/fx_routines.h"

namespace {

// Weights outside 0..255 would carry one channel into the next.
uint32_t ClampAlpha(int alpha) { return static_cast<uint32_t>(alpha < 0 ? 0 : alpha > 255 ? 255 : alpha); }

}  // namespace

// The scalar reference, two channels per multiply; it is also the portable level.
void BlendFramePortable(const uint32_t* s, uint32_t* d, uint32_t alpha) {
    const uint32_t keep = 255 - alpha;
    for (int i = 0; i < PicturePixels; ++i) {
        const uint32_t rb = (d[i] & 0x00FF00FF) * keep + (s[i] & 0x00FF00FF) * alpha;
        const uint32_t g = (d[i] & 0x0000FF00) * keep + (s[i] & 0x0000FF00) * alpha;
        d[i] = ((rb & 0xFF00FF00) | (g & 0x00FF0000)) >> 8;
    }
}

void BlendFrameScalar(const Picture& source, Picture& destination, int alpha) {
    BlendFramePortable(source.Pixels, destination.Pixels, ClampAlpha(alpha));
}

void BlendFrame(const Picture& source, Picture& destination, int alpha) {
    ActiveFx->blendFrame(source.Pixels, destination.Pixels, ClampAlpha(alpha));
}

void CopyFrame(const Picture& source, Picture& destination) {
    std::memcpy(destination.Pixels, source.Pixels, sizeof destination.Pixels);
}
