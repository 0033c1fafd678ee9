#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/scratch_directory.h"

namespace {

// Runs the real frame tool in a scratch folder holding test pictures.
class DemoFrames : public ::testing::Test {
protected:
    void SetUp() override {
        for (int number = 1; number <= 23; ++number) {
            std::string bytes;
            for (uint32_t i = 0; i < 76800; ++i) {
                const uint32_t word = (i % 320 * 3 + number * 40) << 16 | (i / 320 * 5) << 8 | (i * number & 0xFF);
                bytes.append(reinterpret_cast<const char*>(&word), 4);
            }
            char name[8];
            std::snprintf(name, sizeof name, "%02d.raw", number);
            scratch.Write(name, bytes);
        }
    }
    int Run(const std::string& args) { return scratch.Run(DEMO_FRAMES_PATH " " + args); }
    std::string Read(const std::string& name) { return scratch.Read(name); }
    std::vector<std::string> List(const std::string& sub) { return scratch.List(sub); }

    ScratchDirectory scratch;
};

TEST_F(DemoFrames, WritesRawAndPngFramesForTimesAndRanges) {
    ASSERT_EQ(Run("--png out 0 100:400:100 16000"), 0) << scratch.Errors();
    const std::vector<std::string> expected = {"frame-0.png", "frame-0.raw", "frame-100.png", "frame-100.raw",
                                               "frame-16000.png", "frame-16000.raw", "frame-200.png",
                                               "frame-200.raw", "frame-300.png", "frame-300.raw"};
    EXPECT_EQ(List("out"), expected);
    const std::string frame = Read("out/frame-100.raw");
    ASSERT_EQ(frame.size(), 307200u);
    EXPECT_TRUE(frame.substr(0, 32 * 1280) == std::string(32 * 1280, '\0'));  // the letterbox
    EXPECT_FALSE(frame.substr(120 * 1280, 1280) == std::string(1280, '\0'));
    EXPECT_EQ(Read("out/frame-0.png").substr(1, 3), "PNG");
}

TEST_F(DemoFrames, FramesCarryOverInTheOrderGiven) {
    // Late in a segment the turned picture no longer covers the corners, which keep earlier frames.
    ASSERT_EQ(Run("a 15999"), 0);
    ASSERT_EQ(Run("b 15000 15999"), 0);
    ASSERT_EQ(Run("c 15999"), 0);
    EXPECT_TRUE(Read("a/frame-15999.raw") == Read("c/frame-15999.raw"));  // the same bytes every run
    EXPECT_FALSE(Read("a/frame-15999.raw") == Read("b/frame-15999.raw"));
}

TEST_F(DemoFrames, BadArgumentsGiveUsageAndExitCode2) {
    for (const char* args : {"", "out", "--png out", "out -3", "out 1:1:1", "out 12x", "--bogus out 1"}) {
        EXPECT_EQ(Run(args), 2) << args;
        EXPECT_NE(scratch.Errors().find("usage: demo-frames"), std::string::npos) << args;
    }
    EXPECT_TRUE(List("out").empty());
}

TEST_F(DemoFrames, UnwritableDirectoryFailsCleanly) {
    if (geteuid() == 0) {
        // root writes anywhere: use a path below a regular file instead.
        scratch.Write("file", "x");
        EXPECT_EQ(Run("file/out 0"), 1);
    } else {
        std::filesystem::create_directory(scratch.Path("locked"));
        std::filesystem::permissions(scratch.Path("locked"), std::filesystem::perms::owner_read |
                                                                 std::filesystem::perms::owner_exec);
        EXPECT_EQ(Run("locked 0 100"), 1);
        EXPECT_TRUE(List("locked").empty());
        std::filesystem::permissions(scratch.Path("locked"), std::filesystem::perms::owner_all);
    }
    EXPECT_NE(scratch.Errors().find("demo-frames: "), std::string::npos);
}

TEST_F(DemoFrames, FailedWriteLeavesNoPartialFile) {
    // A directory where the frame file should go makes the final rename fail.
    std::filesystem::create_directories(scratch.Path("out/frame-0.raw"));
    EXPECT_EQ(Run("out 0"), 1);
    const std::vector<std::string> left = {"frame-0.raw"};
    EXPECT_EQ(List("out"), left);
}

TEST_F(DemoFrames, FastEffectsWriteTheSameBytesAsThePortableOnes) {
    // Frames across the cycle and late in a segment, where the corners keep
    // earlier frames' pixels, so the trails are compared too.
    const std::string times = " 0:368000:23000 15000:16000:250 200033";
    ASSERT_EQ(Run("fast" + times), 0) << scratch.Errors();
    ASSERT_EQ(scratch.Run("DEMO_FX_PORTABLE=1 " DEMO_FRAMES_PATH " portable" + times), 0) << scratch.Errors();
    const std::vector<std::string> frames = List("fast");
    ASSERT_EQ(frames.size(), 21u);
    EXPECT_EQ(List("portable"), frames);
    for (const std::string& frame : frames)
        EXPECT_TRUE(Read("fast/" + frame) == Read("portable/" + frame)) << frame;
}

}  // namespace
