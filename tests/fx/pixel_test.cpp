#include <gtest/gtest.h>

#include <algorithm>

#include "fx/pixel.h"
#include "tests/pictures.h"

namespace {

void Fill(Picture& picture, uint32_t word) {
    std::fill(std::begin(picture.Pixels), std::end(picture.Pixels), word);
}

uint32_t BlendOne(uint32_t destination, uint32_t source, int alpha) {
    static Picture s, d;
    s.Pixels[0] = source;
    d.Pixels[0] = destination;
    BlendFrame(s, d, alpha);
    return d.Pixels[0];
}

// Reference per channel: floor((d * (255 - alpha) + s * alpha) / 256), spare cleared.
uint32_t BlendReference(uint32_t d, uint32_t s, int alpha) {
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t dc = (d >> shift) & 0xFF, sc = (s >> shift) & 0xFF;
        result |= ((dc * (255 - alpha) + sc * alpha) / 256) << shift;
    }
    return result;
}

TEST(BlendFrame, LosesALittleBrightnessAndClearsTheSpareByte) {
    EXPECT_EQ(BlendOne(0x00FFFFFF, 0x12345678, 0), 0x00FEFEFEu);
    EXPECT_EQ(BlendOne(0x00000000, 0x00FFFFFF, 254), 0x00FDFDFDu);
    EXPECT_EQ(BlendOne(0x00123456, 0x00ABCDEF, 80), 0x00416385u);
    for (int alpha : {0, 1, 15, 80, 128, 254, 255}) EXPECT_EQ(BlendOne(0xFF000000, 0, alpha), 0u);
}

TEST(BlendFrame, MatchesThePerChannelFormulaForEveryAlpha) {
    static Picture source, destination, before;
    uint32_t seed = 12345;
    for (int alpha = 0; alpha <= 255; ++alpha) {
        for (int i = 0; i < 4096; ++i) {
            seed = seed * 1664525u + 1013904223u;
            source.Pixels[i] = seed;
            seed = seed * 1664525u + 1013904223u;
            destination.Pixels[i] = seed;
        }
        before = destination;
        BlendFrame(source, destination, alpha);
        for (int i = 0; i < 4096; ++i)
            ASSERT_EQ(destination.Pixels[i], BlendReference(before.Pixels[i], source.Pixels[i], alpha)) << alpha;
    }
}

TEST(BlendFrame, CoversTheWholePictureAndClampsWeightsOutOfRange) {
    static Picture source, destination;
    Fill(source, 0x00FFFFFF);
    Fill(destination, 0);
    BlendFrame(source, destination, 255);
    for (uint32_t word : destination.Pixels) ASSERT_EQ(word, 0x00FEFEFEu);
    // A weight past 255 must not bleed one channel into another.
    EXPECT_EQ(BlendOne(0x00102030, 0x00FFFFFF, 1000), BlendReference(0x00102030, 0x00FFFFFF, 255));
    EXPECT_EQ(BlendOne(0x00102030, 0x00FFFFFF, -5), BlendReference(0x00102030, 0x00FFFFFF, 0));
}

TEST(CopyFrame, CopiesEveryWordIncludingTheSpareByte) {
    static Picture source, destination;
    for (int i = 0; i < PicturePixels; ++i) source.Pixels[i] = 0x9E3779B9u * (i + 1);
    CopyFrame(source, destination);
    EXPECT_TRUE(SamePicture(source, destination));
}

TEST(BilinearSample, WholePositionsReturnThePixelUnchanged) {
    static Picture picture;
    picture.Pixels[5 * PictureWidth + 7] = 0xAB123456;
    picture.Pixels[5 * PictureWidth + 8] = 0xFFFFFFFF;
    picture.Pixels[6 * PictureWidth + 7] = 0xFFFFFFFF;
    EXPECT_EQ(BilinearSample(picture.Pixels, (7 << 16) + 0xFFF, (5 << 16) + 0xFFF), 0xAB123456u);
}

TEST(BilinearSample, WeighsTheFourNeighboursPerChannelIncludingSpare) {
    static Picture picture;
    picture.Pixels[0] = 0x00000000;
    picture.Pixels[1] = 0xFF0000FF;
    picture.Pixels[PictureWidth] = 0xFF0000FF;
    picture.Pixels[PictureWidth + 1] = 0xFF0000FF;
    EXPECT_EQ(BilinearSample(picture.Pixels, 0x8000, 0x8000), 0xBF0000BFu);  // 191 = 255 * 192 / 256
    // fx = 4, fy = 12 on one red channel: floor((100*12*4 + 200*4*4 + 40*12*12 + 250*4*12) / 256).
    picture.Pixels[0] = 100u << 16;
    picture.Pixels[1] = 200u << 16;
    picture.Pixels[PictureWidth] = 40u << 16;
    picture.Pixels[PictureWidth + 1] = 250u << 16;
    EXPECT_EQ(BilinearSample(picture.Pixels, 0x4000, 0xC000), ((4800u + 3200 + 5760 + 12000) / 256) << 16);
}

}  // namespace
