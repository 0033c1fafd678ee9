#include "fx/radial_blur.h"

#include "fx/fixed_point.h"
#include "fx/pixel.h"

int32_t RadialBlurStep(float factor) {
    const int32_t step = TruncateToInt32(static_cast<double>(factor) * 65536.0);
    return step < 0 ? 0 : step > 65535 ? 65535 : step;
}

namespace {

// One quadrant: rows from yFirst toward yLast (inclusive) and columns from
// xFirst toward xLast, each row finished before the next. Positions move away
// from the centre (cx, 120) by `step` per pixel, so the sample is taken from
// pixels this pass has already rewritten.
void BlurQuadrant(Picture& picture, int32_t step, int cx, int xFirst, int xLast, int yFirst,
                  int yLast) {
    const int dx = xLast >= xFirst ? 1 : -1;
    const int dy = yLast >= yFirst ? 1 : -1;
    int32_t v = (120 << 16) + (yFirst - 120) * step;
    for (int y = yFirst; y != yLast + dy; y += dy, v += dy * step) {
        int32_t u = (cx << 16) + (xFirst - cx) * step;
        uint32_t* row = picture.Pixels + y * PictureWidth;
        for (int x = xFirst; x != xLast + dx; x += dx, u += dx * step)
            row[x] = BilinearSample(picture.Pixels, u, v);
    }
}

}  // namespace

void RadialBlur(Picture& picture, float factor) {
    const int32_t step = RadialBlurStep(factor);
    BlurQuadrant(picture, step, 160, 160, 319, 120, 207);
    BlurQuadrant(picture, step, 160, 160, 319, 119, 32);
    BlurQuadrant(picture, step, 159, 159, 0, 120, 207);
    BlurQuadrant(picture, step, 159, 159, 0, 119, 32);
}
