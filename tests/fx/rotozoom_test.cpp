#include <gtest/gtest.h>

#include <cmath>

#include "fx/pixel.h"
#include "fx/rotozoom.h"
#include "tests/fx/test_pictures.h"
#include "tests/pictures.h"

namespace {

Picture Source, Destination, Before;

TEST(Rotozoom, StepVectorsAreTruncatedTowardZero) {
    EXPECT_EQ(ComputeRotozoomSteps(1.0f, 0.0f).kc, 65536);
    EXPECT_EQ(ComputeRotozoomSteps(1.0f, 0.0f).ks, 0);
    EXPECT_EQ(ComputeRotozoomSteps(1.4f, 0.0f).kc, 46811);
    EXPECT_EQ(ComputeRotozoomSteps(2.2f, -0.8f).kc, 20754);
    EXPECT_EQ(ComputeRotozoomSteps(2.2f, -0.8f).ks, -21369);
    // Degenerate zooms saturate instead of overflowing.
    EXPECT_EQ(ComputeRotozoomSteps(0.0f, 0.0f).kc, INT32_MAX);
    EXPECT_EQ(ComputeRotozoomSteps(NAN, 0.0f).kc, 0);
}

TEST(Rotozoom, UnitZoomCopiesTheBandExceptTheLastColumn) {
    FillRandom(Source, 1);
    FillRandom(Destination, 2);
    Before = Destination;
    Rotozoom(Source, Destination, 1.0f, 0.0f);
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const int i = y * PictureWidth + x;
            const bool copied = y >= BandTop && y < BandBottom && x < 319;
            ASSERT_EQ(Destination.Pixels[i], copied ? Source.Pixels[i] : Before.Pixels[i]) << x << "," << y;
        }
    }
}

TEST(Rotozoom, CornersOutsideTheTurnedSourceKeepTheirContents) {
    FillRandom(Source, 3);
    FillRandom(Destination, 4);
    Before = Destination;
    Rotozoom(Source, Destination, 1.0f, 0.8f);
    for (int y : {BandTop, BandBottom - 1})
        for (int x : {0, 319}) EXPECT_EQ(Destination.Pixels[y * PictureWidth + x], Before.Pixels[y * PictureWidth + x]);
    const int centre = 120 * PictureWidth + 160;
    EXPECT_EQ(Destination.Pixels[centre], Source.Pixels[centre]);
}

// Positions computed directly per pixel, not accumulated, so that a drift in
// the incremental walk shows.
void RotozoomReference(const Picture& source, Picture& destination, float zoom, float angle) {
    const RotozoomSteps steps = ComputeRotozoomSteps(zoom, angle);
    for (int y = BandTop; y < BandBottom; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const int64_t u = 160 * 65536 + int64_t(x - 160) * steps.kc - int64_t(y - 120) * steps.ks;
            const int64_t v = 120 * 65536 + int64_t(x - 160) * steps.ks + int64_t(y - 120) * steps.kc;
            if (u < 0 || v < 0 || u >= 319 * 65536 || v >= 239 * 65536) continue;
            destination.Pixels[y * PictureWidth + x] =
                BilinearSample(source.Pixels, static_cast<int32_t>(u), static_cast<int32_t>(v));
        }
    }
}

TEST(Rotozoom, MatchesDirectPositionsAcrossTheShowsRange) {
    static Picture expected;
    uint32_t seed = 99;
    FillRandom(Source, 5);
    for (int trial = 0; trial < 40; ++trial) {
        const float zoom = 0.5f + (Xorshift32(seed) % 3000) / 1000.0f;
        const float angle = -3.2f + (Xorshift32(seed) % 6400) / 1000.0f;
        FillRandom(Destination, trial);
        expected = Destination;
        Rotozoom(Source, Destination, zoom, angle);
        RotozoomReference(Source, expected, zoom, angle);
        ASSERT_TRUE(SamePicture(expected, Destination))
            << "zoom " << zoom << " angle " << angle;
    }
}

TEST(Rotozoom, ExtremeArgumentsStayInsideThePictures) {
    FillRandom(Source, 6);
    for (float zoom : {0.0f, 1e-9f, -1.0f, 1e9f, INFINITY, NAN})
        for (float angle : {0.0f, 1.0f, -7.0f, NAN}) Rotozoom(Source, Destination, zoom, angle);
    SUCCEED();  // the sanitizer build reports any stray read
}

}  // namespace
