#include <gtest/gtest.h>

#include "fx/plasma.h"
#include "tests/fx/test_pictures.h"
#include "tests/pictures.h"

namespace {

class Plasma : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildSineTable(); }
    static Picture picture, other;
};
Picture Plasma::picture, Plasma::other;

TEST_F(Plasma, SineTableHasItsKnownValues) {
    const int32_t first[] = {256, 261, 267, 273, 278, 284, 290, 295};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(SineTable[i], first[i]) << i;
    EXPECT_EQ(SineTable[SineTableSize - 4], 2);
    EXPECT_EQ(SineTable[SineTableSize - 3], 1);
    EXPECT_EQ(SineTable[SineTableSize - 2], 1);
    EXPECT_EQ(SineTable[SineTableSize - 1], 0);
    EXPECT_EQ(SineTable[8], 301);
    EXPECT_EQ(SineTable[46], 474);
    EXPECT_EQ(SineTable[54], 494);
    for (int32_t value : SineTable) {
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 511);
    }
}

TEST_F(Plasma, PhaseZeroHasItsKnownPixels) {
    DrawPlasma(picture, 0);
    EXPECT_EQ(picture.Pixels[32 * PictureWidth + 0], 0x00FFEFEEu);
    EXPECT_EQ(picture.Pixels[207 * PictureWidth + 319], 0x00FF2D2Du);
    EXPECT_EQ(picture.Pixels[120 * PictureWidth + 160], 0x00FFDBDAu);
}

TEST_F(Plasma, RepeatsEvery283PhasesAndMovesInBetween) {
    DrawPlasma(picture, 0);
    DrawPlasma(other, 283);
    EXPECT_TRUE(SamePicture(picture, other));
    DrawPlasma(other, 283 * 1000 + 7);
    DrawPlasma(picture, 7);
    EXPECT_TRUE(SamePicture(picture, other));
    DrawPlasma(other, 8);
    EXPECT_FALSE(SamePicture(picture, other));
    DrawPlasma(other, UINT32_MAX);  // the largest phase still reads inside the table
}

TEST_F(Plasma, WritesOnlyTheBandWithFullRedAndNoSpare) {
    FillRandom(picture, 17);
    other = picture;
    DrawPlasma(picture, 123);
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const int i = y * PictureWidth + x;
            if (y < BandTop || y >= BandBottom) {
                ASSERT_EQ(picture.Pixels[i], other.Pixels[i]);
            } else {
                ASSERT_EQ(picture.Pixels[i] & 0xFFFF0000u, 0x00FF0000u);
            }
        }
    }
}

}  // namespace
