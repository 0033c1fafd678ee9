#pragma once
// Whole-picture blend and copy, and the bilinear sampler shared by the
// rotozoom and the radial blur.

#include "fx/fixed_point.h"
#include "facts/picture.h"

// destination = (destination * (255 - alpha) + source * alpha) / 256 per
// channel; the spare byte of the result is always 0. Alpha is clamped into
// 0..255.
void BlendFrame(const Picture& source, Picture& destination, int alpha);

// The straightforward scalar blend that every faster level must match.
void BlendFrameScalar(const Picture& source, Picture& destination, int alpha);

void CopyFrame(const Picture& source, Picture& destination);

// Samples `pixels` at the 16.16 position (u, v). Only the top four fraction
// bits take part. The caller keeps the whole parts X and Y non-negative and
// the 2 x 2 block at (X, Y) inside the picture.
inline uint32_t BilinearSample(const uint32_t* pixels, int32_t u, int32_t v) {
    const uint32_t fx = FixedSixteenths(u), fy = FixedSixteenths(v);
    const uint32_t* p = pixels + FixedWhole(v) * PictureWidth + FixedWhole(u);
    const uint32_t p00 = p[0], p01 = p[1], p10 = p[PictureWidth], p11 = p[PictureWidth + 1];
    const uint32_t w00 = (16 - fx) * (16 - fy), w01 = fx * (16 - fy);
    const uint32_t w10 = (16 - fx) * fy, w11 = fx * fy;
    // Two channels per multiply: every partial sum stays below 65 536 per lane.
    const uint32_t rb = (p00 & 0x00FF00FF) * w00 + (p01 & 0x00FF00FF) * w01 +
                        (p10 & 0x00FF00FF) * w10 + (p11 & 0x00FF00FF) * w11;
    const uint32_t ag = ((p00 >> 8) & 0x00FF00FF) * w00 + ((p01 >> 8) & 0x00FF00FF) * w01 +
                        ((p10 >> 8) & 0x00FF00FF) * w10 + ((p11 >> 8) & 0x00FF00FF) * w11;
    return ((rb >> 8) & 0x00FF00FF) | (ag & 0xFF00FF00);
}
