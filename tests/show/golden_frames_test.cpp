// Frames of the show from the default content against golden pictures: the
// README's docs/show-*.png. On a mismatch the frame rendered and a picture of
// where it differs are written beside the test's build output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>

#include "assets/image_bank.h"
#include "fx/plasma.h"
#include "show/render_frame.h"
#include "tests/pictures.h"
#include "tests/png_picture.h"
#include "tools/common/file_output.h"

namespace {

// Writes the frame and, in a copy of the golden picture dimmed to a quarter,
// its differing pixels in magenta; returns where, for the failure message.
std::string WriteMismatch(const std::string& name, const Picture& golden, const Picture& frame) {
    const auto difference = std::make_unique<Picture>();
    for (int i = 0; i < PicturePixels; ++i)
        difference->Pixels[i] = golden.Pixels[i] == frame.Pixels[i] ? golden.Pixels[i] >> 2 & 0x3F3F3F : 0xFF00FF;
    const std::string actual = FRAME_OUTPUT_DIR "/" + name + "-actual.png";
    const std::string marked = FRAME_OUTPUT_DIR "/" + name + "-difference.png";
    std::string error;
    if (!EnsureDirectory(FRAME_OUTPUT_DIR, error) ||
        !WritePngAtomically(actual, frame.Pixels, PictureWidth, PictureHeight, error) ||
        !WritePngAtomically(marked, difference->Pixels, PictureWidth, PictureHeight, error))
        return "; writing them failed: " + error;
    return "; wrote " + actual + " and " + marked;
}

// The README's three moments, rendered as one run from a fresh start: each
// frame keeps what the frames before it left in the working pictures.
TEST(GoldenFrames, TheDefaultContentShowsTheGoldenPictures) {
    ASSERT_EQ(chdir(DEFAULT_CONTENT_DIR), 0) << DEFAULT_CONTENT_DIR " is missing: run the tests through ctest";
    LoadImages();
    BuildSineTable();
    for (const uint32_t time : {2000u, 9000u, 15500u}) {
        ComposeFrame(time, time);
        const std::string name = "show-" + std::to_string(time);
        const PngPixels png = ReadPng(GOLDEN_DIR "/" + name + ".png");
        ASSERT_TRUE(png.width == PictureWidth && png.height == PictureHeight) << "no 320 x 240 image in docs/" << name;
        const auto golden = std::make_unique<Picture>();
        std::copy(png.rgb.begin(), png.rgb.end(), golden->Pixels);
        const ::testing::AssertionResult same = SamePicture(*golden, OutputBuffer);
        EXPECT_TRUE(same) << "frame at " << time << " ms against docs/" << name << ".png"
                          << WriteMismatch(name, *golden, OutputBuffer)
                          << "\nIf the change is meant, record the golden pictures again (README, \"Golden pictures\").";
    }
}

}  // namespace
