// Frames of the show from the tests' own pictures against golden pictures in
// tests/golden/: the pictures are integer patterns, so a mismatch points at
// the engine, not at the picture generator. On a mismatch the frame rendered
// and a picture of where it differs are written beside the test's build
// output. With DEMO_RECORD_GOLDEN=1 the test records the golden pictures
// instead.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "output/file_output.h"
#include "show/render_frame.h"
#include "tests/pictures.h"
#include "tests/png_picture.h"

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

// Three moments, rendered as one run from a fresh start: each frame keeps what
// the frames before it left in the working pictures.
TEST(GoldenFrames, TheTestPicturesShowTheGoldenFrames) {
    const char* record = std::getenv("DEMO_RECORD_GOLDEN");
    const bool recording = record && std::string(record) == "1";
    ScratchDirectory folder;
    WriteTestPictures(folder);
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
    StartOffscreen();
    for (const uint32_t time : {2000u, 9000u, 15500u}) {
        ComposeFrame(time, time);
        const std::string name = "frame-" + std::to_string(time);
        const std::string path = GOLDEN_DIR "/" + name + ".png";
        if (recording) {
            std::string error;
            EXPECT_TRUE(WritePngAtomically(path, OutputBuffer.Pixels, PictureWidth, PictureHeight, error)) << error;
            continue;
        }
        const PngPixels png = ReadPng(path);
        ASSERT_TRUE(png.width == PictureWidth && png.height == PictureHeight) << "no 320 x 240 image in " << path;
        const auto golden = std::make_unique<Picture>();
        std::copy(png.rgb.begin(), png.rgb.end(), golden->Pixels);
        const ::testing::AssertionResult same = SamePicture(*golden, OutputBuffer);
        EXPECT_TRUE(same) << "frame at " << time << " ms against " << path << WriteMismatch(name, *golden, OutputBuffer)
                          << "\nIf the change is meant, record the golden frames again: DEMO_RECORD_GOLDEN=1 "
                          << "ctest -R GoldenFrames";
    }
    ASSERT_EQ(chdir("/"), 0);  // the scratch folder goes
    if (recording) GTEST_SKIP() << "recorded the golden frames in " GOLDEN_DIR;
}

}  // namespace
