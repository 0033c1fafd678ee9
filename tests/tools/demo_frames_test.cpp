#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/pictures.h"

namespace {

// Runs the real frame tool in a scratch folder holding test pictures.
class DemoFrames : public ::testing::Test {
protected:
    void SetUp() override { WriteTestPictures(scratch); }
    int Run(const std::string& args) { return scratch.Run(DEMO_FRAMES_PATH " " + args); }
    std::string Read(const std::string& name) { return scratch.Read(name); }
    std::vector<std::string> List(const std::string& sub) { return scratch.List(sub); }

    ScratchDirectory scratch;
};

TEST_F(DemoFrames, WritesRawAndPngFramesForTimesAndRanges) {
    if (!DEMO_FRAMES_PNG) GTEST_SKIP() << "PNG output is not part of this build";
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
    EXPECT_TRUE(SamePicture(Read("a/frame-15999.raw"), Read("c/frame-15999.raw")));  // the same bytes every run
    EXPECT_FALSE(SamePicture(Read("a/frame-15999.raw"), Read("b/frame-15999.raw")));
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

TEST_F(DemoFrames, PicturesThatAreNoFilesAndRequestsThatCannotFit) {
    // Named and shown black, where a FIFO used to hold the tool in its open.
    ASSERT_EQ(std::filesystem::remove(scratch.Path("05.raw")) && mkfifo(scratch.Path("05.raw").c_str(), 0644) == 0, true);
    std::filesystem::remove(scratch.Path("06.raw"));
    std::filesystem::create_directory(scratch.Path("06.raw"));
    EXPECT_EQ(scratch.Run("timeout 20 " DEMO_FRAMES_PATH " out 0"), 0) << scratch.Errors();
    EXPECT_NE(scratch.Errors().find("cannot open picture 05.raw: not a regular file"), std::string::npos);
    EXPECT_NE(scratch.Errors().find("cannot open picture 06.raw: not a regular file"), std::string::npos);

    // 4 294 967 295 frames of 307 200 bytes: refused before the first is drawn.
    EXPECT_EQ(Run("big 0:4294967295:1"), 1);
    EXPECT_NE(scratch.Errors().find("the frames need 1319413953024000 bytes but big has "), std::string::npos)
        << scratch.Errors();
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("big")));
}

TEST_F(DemoFrames, StoppedBySignalsItLeavesNoTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM})
        for (const int delay : {50, 150, 250}) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                if (chdir(scratch.Path().c_str()) == 0 && freopen("/dev/null", "w", stderr))
                    // The shell gives way to the tool, or to the emulator that runs it.
                    execl("/bin/sh", "sh", "-c", "exec " DEMO_FRAMES_PATH " out 0:100000:1", nullptr);
                _exit(127);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            kill(pid, signal);
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << " after " << delay << " ms";
            for (const std::string& name : List("out")) ASSERT_NE(name[0], '.') << name;
        }
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
        EXPECT_TRUE(SamePicture(Read("portable/" + frame), Read("fast/" + frame))) << frame;
}

}  // namespace
