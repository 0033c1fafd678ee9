#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "fx/fx_level.h"
#include "fx/pixel.h"
#include "fx/plasma.h"
#include "fx/radial_blur.h"
#include "fx/rotozoom.h"
#include "tests/fx/test_pictures.h"
#include "tests/pictures.h"

namespace {

Picture Source, Fast, Reference;

// Runs every test once per level this processor has, against the scalar
// references, then restores the level chosen at start-up.
class EveryLevel : public ::testing::TestWithParam<const FxLevel*> {
protected:
    static void SetUpTestSuite() { BuildSineTable(); }
    void SetUp() override {
        if (!UseFxLevel(*GetParam())) GTEST_SKIP() << GetParam()->name << " not available here";
    }
    void TearDown() override { UseFxLevel(startUpLevel); }
    const FxLevel& startUpLevel = ActiveFxLevel();
};

TEST_P(EveryLevel, BlendMatchesForEveryAlpha) {
    FillRandom(Source, 1);
    FillRandom(Reference, 2);
    for (int alpha = -3; alpha <= 258; ++alpha) {
        FillRandom(Reference, 100 + alpha);
        Fast = Reference;
        BlendFrameScalar(Source, Reference, alpha);
        BlendFrame(Source, Fast, alpha);
        ASSERT_TRUE(SamePicture(Reference, Fast)) << "alpha " << alpha;
    }
}

void ExpectRotozoomMatches(float zoom, float angle, uint32_t seed) {
    FillRandom(Reference, seed);  // skipped pixels must keep these
    Fast = Reference;
    RotozoomScalar(Source, Reference, zoom, angle);
    Rotozoom(Source, Fast, zoom, angle);
    ASSERT_TRUE(SamePicture(Reference, Fast)) << "zoom " << zoom << " angle " << angle;
}

TEST_P(EveryLevel, RotozoomMatchesAcrossTheShowsRangeAndBeyond) {
    FillRandom(Source, 3);
    uint32_t seed = 4;
    for (int trial = 0; trial < 80; ++trial) {  // the show's zooms 1..2.2 and angles -0.8..0.8
        const float zoom = 1.0f + (Xorshift32(seed) % 12001) / 10000.0f;
        const float angle = -0.8f + (Xorshift32(seed) % 16001) / 10000.0f;
        ExpectRotozoomMatches(zoom, angle, seed);
    }
    for (int trial = 0; trial < 60; ++trial) {  // shrinking, mirrored and far-turned
        const float zoom =
            (Xorshift32(seed) % 2 ? 1.0f : -1.0f) * (0.05f + (Xorshift32(seed) % 50000) / 5000.0f);
        const float angle = -7.0f + (Xorshift32(seed) % 140001) / 10000.0f;
        ExpectRotozoomMatches(zoom, angle, seed);
    }
}

TEST_P(EveryLevel, RotozoomMatchesAtExactEdgesAndDegenerateArguments) {
    FillRandom(Source, 5);
    const float pi = std::numbers::pi_v<float>;
    // Whole-pixel steps put positions exactly on the last column and row.
    for (float zoom : {1.0f, 0.5f, 2.0f, 0.25f, 4.0f, 1.4f, 2.2f})
        for (float angle : {0.0f, pi / 2, pi, -pi / 2, 0.8f, -0.8f}) ExpectRotozoomMatches(zoom, angle, 6);
    // Tiny zooms make steps so long that positions wrap around 32 bits.
    for (float zoom :
         {0.0f, -0.0f, 1e-3f, 1e-4f, 3e-5f, 1e-9f, -1e-6f, 1e9f, -1e9f, INFINITY, -INFINITY, NAN})
        for (float angle : {0.0f, 0.3f, -2.0f, 1e6f, INFINITY, NAN}) ExpectRotozoomMatches(zoom, angle, 7);
}

TEST_P(EveryLevel, PlasmaMatchesForSmallAndLargePhases) {
    for (uint32_t phase : {0u, 1u, 2u, 100u, 281u, 282u, 283u, 284u, 565u, 566u, 1000u, 123456u, 0x7FFFFFFFu,
                           0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
        FillRandom(Reference, phase);  // rows outside the band must keep these
        Fast = Reference;
        DrawPlasmaScalar(Reference, phase);
        DrawPlasma(Fast, phase);
        ASSERT_TRUE(SamePicture(Reference, Fast)) << "phase " << phase;
    }
}

void ExpectBlurMatches(float factor, uint32_t seed) {
    FillRandom(Reference, seed);
    Fast = Reference;
    RadialBlurScalar(Reference, factor);
    RadialBlur(Fast, factor);
    ASSERT_TRUE(SamePicture(Reference, Fast)) << "factor " << factor << " (step " << RadialBlurStep(factor) << ")";
}

TEST_P(EveryLevel, RadialBlurMatchesAcrossTheShowsRange) {
    uint32_t seed = 8;
    for (int trial = 0; trial < 24; ++trial)
        ExpectBlurMatches(0.98775f + (Xorshift32(seed) % 1516) / 1e6f, seed);
    // Every step from the show's lowest to its highest, on one picture each.
    for (int32_t step = 64733; step <= 64831; step += 7) ExpectBlurMatches(step / 65536.0f, step);
}

TEST_P(EveryLevel, RadialBlurMatchesForEveryKindOfStep) {
    // Whole and half steps, short steps that sample far inward, the clamped
    // extremes, and uniform pictures whose sums land exactly on 256.
    for (float factor : {0.0f,
                         1e-6f,
                         1 / 65536.0f,
                         0.1f,
                         0.25f,
                         1 / 3.0f,
                         0.5f,
                         0.5f + 1 / 65536.0f,
                         0.75f,
                         0.9f,
                         0.95f,
                         0.99f,
                         0.999f,
                         65534 / 65536.0f,
                         65535 / 65536.0f,
                         1.0f,
                         1.5f,
                         100.0f,
                         -0.5f,
                         INFINITY,
                         -INFINITY,
                         NAN})
        ExpectBlurMatches(factor, 9);
    for (int trial = 0; trial < 20; ++trial) ExpectBlurMatches(trial / 20.0f + 0.013f, 10 + trial);
}

TEST_P(EveryLevel, RadialBlurOfAUniformBandKeepsIt) {
    for (uint32_t word : {0u, 0xFFFFFFFFu, 0x80FF0001u}) {
        FillRandom(Fast, 11);
        for (int i = BandTop * PictureWidth; i < BandBottom * PictureWidth; ++i) Fast.Pixels[i] = word;
        Reference = Fast;
        RadialBlur(Fast, 0.988f);
        ASSERT_TRUE(SamePicture(Reference, Fast)) << "word " << word;
    }
}

std::string LevelName(const ::testing::TestParamInfo<const FxLevel*>& info) { return info.param->name; }

INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel, ::testing::Range<const FxLevel*>(FxLevels, FxLevels + FxLevelCount),
                         LevelName);

// The level the start-up must have chosen: DEMO_FX_EXPECTED_LEVEL where the
// test's runner forces one, otherwise the fastest, named from what the
// processor itself reports.
std::string ExpectedStartUpLevel() {
    if (const char* expected = std::getenv("DEMO_FX_EXPECTED_LEVEL")) return expected;
#if defined(__x86_64__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? "avx2" : "sse2";
#else
    return "portable";
#endif
}

TEST(FxLevels, StartUpPicksTheFastestLevelUnlessThePortableOneIsForced) {
    EXPECT_EQ(ActiveFxLevel().name, ExpectedStartUpLevel());
    EXPECT_STREQ(FxLevels[0].name, "portable");
    EXPECT_TRUE(FxLevels[0].supported());
#if defined(__x86_64__)
    EXPECT_EQ(FxLevelCount, 3);            // portable, sse2, avx2
    EXPECT_TRUE(FxLevels[1].supported());  // SSE2 is part of x86-64
#endif
}

}  // namespace
