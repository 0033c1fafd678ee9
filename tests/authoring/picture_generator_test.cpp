#include "authoring/pictures/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/tools/default_pictures.h"

namespace {

struct Measure {
    double mean = 0, spread = 0, chroma = 0;
};

// Brightness (mean and standard deviation) and mean colourfulness of a region.
Measure MeasureRegion(const Picture& picture, int left, int top, int right, int bottom) {
    double sum = 0, squares = 0, chroma = 0;
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const uint32_t word = picture.Pixels[y * PictureWidth + x];
            const int r = word >> 16 & 0xFF, g = word >> 8 & 0xFF, b = word & 0xFF;
            const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
            sum += luma;
            squares += luma * luma;
            chroma += std::max({r, g, b}) - std::min({r, g, b});
            ++count;
        }
    const double mean = sum / count;
    return {mean, std::sqrt(std::max(0.0, squares / count - mean * mean)), chroma / count};
}

TEST(DefaultPictures, AreBrightColourfulDetailedAndDistinct) {
    const std::vector<Picture>& pictures = DefaultPictures();
    for (int number = 1; number <= DefaultPictureCount; ++number) {
        const Picture& picture = pictures[number - 1];
        const Measure band = MeasureRegion(picture, 0, BandTop, PictureWidth, BandBottom);
        EXPECT_GT(band.mean, 60) << DefaultPictureName(number) << " is too dark";
        EXPECT_GT(band.spread, 15) << DefaultPictureName(number) << " is nearly flat";
        EXPECT_GT(band.chroma, 35) << DefaultPictureName(number) << " is nearly grey";
        // At the deepest zoom (2.2) the show sees only about 145 x 80 pixels about the centre.
        const Measure centre = MeasureRegion(picture, 160 - 72, 120 - 40, 160 + 72, 120 + 40);
        EXPECT_GT(centre.spread, 12) << DefaultPictureName(number) << " has no detail at the centre";
        EXPECT_TRUE(std::all_of(picture.Pixels, picture.Pixels + PicturePixels, [](uint32_t w) { return w >> 24 == 0; }))
            << DefaultPictureName(number) << " has spare bits set";
    }

    for (int a = 0; a < DefaultPictureCount; ++a)
        for (int b = a + 1; b < DefaultPictureCount; ++b) {
            long difference = 0;
            for (int i = 0; i < PicturePixels; ++i)
                for (int shift = 0; shift < 24; shift += 8)
                    difference += std::abs(static_cast<int>(pictures[a].Pixels[i] >> shift & 0xFF) -
                                           static_cast<int>(pictures[b].Pixels[i] >> shift & 0xFF));
            EXPECT_GT(difference / (PicturePixels * 3.0), 20) << DefaultPictureName(a + 1) << " vs "
                                                              << DefaultPictureName(b + 1);
        }
}

// The generator's exact output: a change in it, or in the maths library under
// it, fails here rather than in the frames of the show.
TEST(DefaultPictures, AreTheSameBytesAsEver) {
    uint64_t hash = 14695981039346656037u;  // FNV-1a over the pixels as a picture file holds them
    const auto picture = std::make_unique<Picture>();
    for (int number = 1; number <= DefaultPictureCount; ++number) {
        GeneratePicture(number, *picture);
        for (const uint32_t word : picture->Pixels)
            for (int shift = 0; shift < 32; shift += 8) hash = (hash ^ (word >> shift & 0xFF)) * 1099511628211u;
    }
    EXPECT_EQ(hash, 15897723766629267149u) << "if the change is meant, this is the new value";
}

}  // namespace
