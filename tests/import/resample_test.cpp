#include "import/resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace {

using Paint = std::function<uint32_t(int x, int y)>;  // 0xRRGGBB

RgbImage MakeImage(int width, int height, const Paint& paint) {
    RgbImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t colour = paint(x, y);
            uint8_t* pixel = &image.rgb[(static_cast<size_t>(y) * width + x) * 3];
            pixel[0] = colour >> 16 & 0xFF;
            pixel[1] = colour >> 8 & 0xFF;
            pixel[2] = colour & 0xFF;
        }
    return image;
}

std::unique_ptr<Picture> Scale(const RgbImage& image) {
    auto picture = std::make_unique<Picture>();
    std::fill(picture->Pixels, picture->Pixels + PicturePixels, 0xDEADBEEFu);
    ScaleToCover(image, *picture);
    return picture;
}

uint32_t At(const Picture& picture, int x, int y) { return picture.Pixels[y * PictureWidth + x]; }
int Green(uint32_t word) { return word >> 8 & 0xFF; }

TEST(ScaleToCover, AWiderImageAtFullHeightLosesExactlyItsSides) {
    // 400 x 240 needs no scaling: the middle 320 columns come through unchanged.
    const RgbImage image = MakeImage(400, 240, [](int x, int y) {
        if (x < 40) return 0xFF0000u;
        if (x >= 360) return 0x0000FFu;
        return static_cast<uint32_t>((x - 40) * 255 / 319) << 8 | static_cast<uint32_t>(y);
    });
    const auto picture = Scale(image);
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x)
            ASSERT_EQ(At(*picture, x, y), static_cast<uint32_t>(x * 255 / 319) << 8 | static_cast<uint32_t>(y))
                << x << "," << y;
}

TEST(ScaleToCover, ATallImageIsEnlargedToTheWidthAndCroppedTopAndBottom) {
    // 160 x 240 doubles to 320 x 480; only its middle rows 60 to 179 show.
    const RgbImage image = MakeImage(160, 240, [](int, int y) { return y < 60 || y >= 180 ? 0xFF0000u : 0x00FF00u; });
    const auto picture = Scale(image);
    for (int y = 2; y < PictureHeight - 2; ++y) EXPECT_EQ(At(*picture, 100, y), 0x00FF00u) << y;
}

TEST(ScaleToCover, KeepsTheAspectOfShapes) {
    // A disc in a 2:1 image: after scaling it is still as wide as it is tall.
    const RgbImage image = MakeImage(200, 100, [](int x, int y) {
        return std::hypot(x + 0.5 - 100, y + 0.5 - 50) < 40 ? 0x00FF00u : 0x000000u;
    });
    const auto picture = Scale(image);
    int width = 0, height = 0;
    for (int x = 0; x < PictureWidth; ++x) width += Green(At(*picture, x, 120)) > 127;
    for (int y = 0; y < PictureHeight; ++y) height += Green(At(*picture, 160, y)) > 127;
    EXPECT_NEAR(width, 192, 2);  // 80 pixels x 2.4
    EXPECT_NEAR(height, 192, 2);
}

TEST(ScaleToCover, ShrinkingAveragesFineDetailInsteadOfPickingPixels) {
    // A one-pixel checkerboard shrunk four times is an even grey: half the
    // light of white, which sRGB writes as 188, and no pixel picked alone.
    const RgbImage image = MakeImage(1280, 960, [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0x000000u; });
    const auto picture = Scale(image);
    const auto [low, high] = std::minmax_element(picture->Pixels, picture->Pixels + PicturePixels,
                                                 [](uint32_t a, uint32_t b) { return Green(a) < Green(b); });
    EXPECT_GE(Green(*low), 187);
    EXPECT_LE(Green(*high), 189);
}

TEST(ScaleToCover, EnlargingBlendsAcrossEdges) {
    // A hard black/white edge in a small image becomes a smooth ramp, never a step.
    const RgbImage image = MakeImage(32, 24, [](int x, int) { return x < 16 ? 0x000000u : 0xFFFFFFu; });
    const auto picture = Scale(image);
    EXPECT_EQ(At(*picture, 0, 120), 0u);
    EXPECT_EQ(At(*picture, 319, 120), 0xFFFFFFu);
    int between = 0, previous = 0;
    for (int x = 0; x < PictureWidth; ++x) {
        const int value = Green(At(*picture, x, 120));
        EXPECT_GE(value, previous) << x;
        between += value > 10 && value < 245;
        previous = value;
    }
    EXPECT_GE(between, 6);
}

TEST(ScaleToCover, OnePixelFillsThePictureAndSpareBytesAreCleared) {
    const auto picture = Scale(MakeImage(1, 1, [](int, int) { return 0x336699u; }));
    EXPECT_TRUE(std::all_of(picture->Pixels, picture->Pixels + PicturePixels, [](uint32_t w) { return w == 0x336699u; }));
}

}  // namespace
