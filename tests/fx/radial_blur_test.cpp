#include <gtest/gtest.h>

#include <cmath>

#include "fx/pixel.h"
#include "fx/radial_blur.h"
#include "tests/fx/test_pictures.h"
#include "tests/pictures.h"

namespace {

Picture Blurred, Expected;

// The four quadrants with positions computed directly from the centre, each
// pixel sampled from the picture as this call has left it so far.
void RadialBlurReference(Picture& picture, int32_t step) {
    struct Pass { int yFrom, yTo, xFrom, xTo, cx; };
    const Pass passes[] = {{120, 207, 160, 319, 160}, {119, 32, 160, 319, 160},
                           {120, 207, 159, 0, 159}, {119, 32, 159, 0, 159}};
    for (const Pass& p : passes) {
        const int dy = p.yTo > p.yFrom ? 1 : -1, dx = p.xTo > p.xFrom ? 1 : -1;
        for (int y = p.yFrom; y != p.yTo + dy; y += dy) {
            for (int x = p.xFrom; x != p.xTo + dx; x += dx) {
                const int32_t u = p.cx * 65536 + (x - p.cx) * step;
                const int32_t v = 120 * 65536 + (y - 120) * step;
                if (u < 0 || v < 0 || u >= 320 * 65536 || v >= 240 * 65536) continue;
                picture.Pixels[y * PictureWidth + x] = BilinearSample(picture.Pixels, u, v);
            }
        }
    }
}

TEST(RadialBlur, StepIsTruncatedAndKeptBelowOne) {
    EXPECT_EQ(RadialBlurStep(0.98775f), 64733);
    EXPECT_EQ(RadialBlurStep(0.9892556f), 64831);
    EXPECT_EQ(RadialBlurStep(1.0f), 65535);
    EXPECT_EQ(RadialBlurStep(5.0f), 65535);
    EXPECT_EQ(RadialBlurStep(-0.5f), 0);
    EXPECT_EQ(RadialBlurStep(NAN), 0);
}

TEST(RadialBlur, MatchesTheQuadrantOrderInPlace) {
    for (float factor : {0.98775f, 0.988f, 0.98926f, 0.5f, 0.0f, 0.999f}) {
        FillRandom(Blurred, 21);
        Expected = Blurred;
        RadialBlur(Blurred, factor);
        RadialBlurReference(Expected, RadialBlurStep(factor));
        ASSERT_TRUE(SamePicture(Expected, Blurred)) << factor;
    }
}

TEST(RadialBlur, LeavesAUniformBandAndTheRowsOutsideAlone) {
    FillRandom(Blurred, 22);
    for (int i = BandTop * PictureWidth; i < BandBottom * PictureWidth; ++i) Blurred.Pixels[i] = 0xC0FFEE42;
    Expected = Blurred;
    RadialBlur(Blurred, 0.988f);
    EXPECT_TRUE(SamePicture(Expected, Blurred));
}

TEST(RadialBlur, CentrePixelKeepsItselfAndItsNeighbourSamplesTowardTheCentre) {
    FillRandom(Blurred, 23);
    Expected = Blurred;
    RadialBlur(Blurred, 0.988f);
    EXPECT_EQ(Blurred.Pixels[120 * PictureWidth + 160], Expected.Pixels[120 * PictureWidth + 160]);
    const int32_t step = RadialBlurStep(0.988f);
    // (159, 119) is the first pixel of the last pass; (159, 120) was already rewritten by pass 3.
    Expected.Pixels[120 * PictureWidth + 159] = Blurred.Pixels[120 * PictureWidth + 159];
    Expected.Pixels[120 * PictureWidth + 160] = Blurred.Pixels[120 * PictureWidth + 160];
    Expected.Pixels[119 * PictureWidth + 160] = Blurred.Pixels[119 * PictureWidth + 160];
    EXPECT_EQ(Blurred.Pixels[119 * PictureWidth + 159],
              BilinearSample(Expected.Pixels, 159 * 65536, 120 * 65536 - step));
}

TEST(RadialBlur, FactorsOutsideTheRangeReadNothingOutsideTheBand) {
    for (float factor : {1.0f, 1.5f, 100.0f, -1.0f, INFINITY, NAN}) {
        FillRandom(Blurred, 24);
        Expected = Blurred;
        RadialBlur(Blurred, factor);
        for (int i = 0; i < BandTop * PictureWidth; ++i) ASSERT_EQ(Blurred.Pixels[i], Expected.Pixels[i]);
    }
}

}  // namespace
