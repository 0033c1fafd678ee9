// The music library over libopenmpt, playing into SDL's disk audio driver.
#include <gtest/gtest.h>
#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/module_file.h"
#include "platform/music.h"
#include "tests/platform/test_module.h"
#include "tests/scratch_directory.h"

namespace {

class Music : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", Path("out.raw").c_str(), 1);
        Write("song.mod", TestModule());
    }
    void TearDown() override { BASSMOD_Free(); }

    void Write(const std::string& name, const std::string& bytes) { scratch.Write(name, bytes); }
    std::string Path(const std::string& name) const { return scratch.Path(name); }
    BOOL Load(const std::string& name, DWORD offset = 0, DWORD length = 0) {
        return BASSMOD_MusicLoad(FALSE, Path(name).c_str(), offset, length, 0);
    }
    // The samples written so far, after the output has been closed.
    std::vector<int16_t> Played() {
        BASSMOD_Free();
        std::ifstream file(Path("out.raw"), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
    static size_t Loud(const std::vector<int16_t>& samples) {
        size_t count = 0;
        for (const int16_t sample : samples) count += sample != 0;
        return count;
    }

    ScratchDirectory scratch;
};

TEST_F(Music, NothingWorksBeforeInit) {
    EXPECT_FALSE(Load("song.mod"));
    EXPECT_FALSE(BASSMOD_MusicSetPosition(0));
    EXPECT_FALSE(BASSMOD_MusicPlayEx(0, 0, TRUE));
    EXPECT_FALSE(BASSMOD_MusicStop());
    EXPECT_FALSE(BASSMOD_MusicSetPositionScaler(1));
    BASSMOD_MusicFree();
    BASSMOD_Free();
}

TEST_F(Music, InitOpensTheDefaultOutputOnce) {
    EXPECT_FALSE(BASSMOD_Init(1, 44100, 0));
    EXPECT_FALSE(BASSMOD_Init(-1, 0, 0));
    ASSERT_TRUE(BASSMOD_Init(-1, 44100, 0));
    EXPECT_FALSE(BASSMOD_Init(-1, 44100, 0));
    BASSMOD_Free();
    EXPECT_TRUE(BASSMOD_Init(-1, 22050, 0));
}

// No sound system at all, and ALSA without a device (an empty configuration
// has none, on any machine): one line of our own, none of ALSA's.
TEST_F(Music, NoAudioDeviceIsOneLineAndSilence) {
    Write("empty.conf", "");
    setenv("ALSA_CONFIG_PATH", Path("empty.conf").c_str(), 1);
    for (const char* driver : {"nonexistent", "alsa"}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(BASSMOD_Init(-1, 44100, 0)) << driver;
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string(program_invocation_short_name) + ": no sound device: the show runs silently\n")
            << driver;
        EXPECT_FALSE(Load("song.mod"));
        EXPECT_FALSE(BASSMOD_MusicPlayEx(0, 0, TRUE));
    }
    unsetenv("ALSA_CONFIG_PATH");
}

TEST_F(Music, LoadsFromAFileWithOffsetAndLength) {
    ASSERT_TRUE(BASSMOD_Init(-1, 44100, 0));
    const std::string module = TestModule();
    Write("wrapped.bin", "HEADER" + module + "TRAILER");
    Write("junk.xm", std::string(3000, 'x'));
    Write("empty.xm", "");
    EXPECT_FALSE(Load("missing.xm"));
    EXPECT_FALSE(Load("junk.xm"));
    EXPECT_FALSE(Load("empty.xm"));
    EXPECT_FALSE(Load("wrapped.bin", 1));
    EXPECT_FALSE(Load("wrapped.bin", 100000));
    EXPECT_FALSE(BASSMOD_MusicLoad(TRUE, module.data(), 0, static_cast<DWORD>(module.size()), 0));
    EXPECT_TRUE(Load("wrapped.bin", 6, static_cast<DWORD>(module.size())));
    EXPECT_TRUE(Load("wrapped.bin", 6));
    EXPECT_TRUE(Load("song.mod"));

    // Only regular files are read, and no more than a module may hold.
    ASSERT_TRUE(std::filesystem::create_directory(Path("folder.xm")));
    Write("huge.mod", module);
    std::filesystem::resize_file(Path("huge.mod"), MaxModuleBytes + 1);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(Load("folder.xm"));
    EXPECT_FALSE(Load("huge.mod"));
    EXPECT_TRUE(Load("huge.mod", 0, static_cast<DWORD>(module.size())));
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("folder.xm: not a regular file\n"), std::string::npos) << errors;
    EXPECT_NE(errors.find("huge.mod is 67108865 bytes; modules above 67108864 bytes are not played\n"),
              std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2);
}

TEST_F(Music, PositionsAndPlayNeedAModule) {
    ASSERT_TRUE(BASSMOD_Init(-1, 44100, 0));
    EXPECT_TRUE(BASSMOD_MusicSetPositionScaler(1));
    EXPECT_FALSE(BASSMOD_MusicSetPositionScaler(0));
    EXPECT_FALSE(BASSMOD_MusicStop());
    EXPECT_FALSE(BASSMOD_MusicSetPosition(0));
    ASSERT_TRUE(Load("song.mod"));
    EXPECT_TRUE(BASSMOD_MusicSetPosition(0));
    EXPECT_TRUE(BASSMOD_MusicSetPosition(0x00200000));  // order 0, row 32
    EXPECT_FALSE(BASSMOD_MusicSetPosition(1));          // the song has one order
    EXPECT_TRUE(BASSMOD_MusicPlayEx(0, 0, TRUE));
    EXPECT_TRUE(BASSMOD_MusicStop());
    BASSMOD_MusicFree();
    EXPECT_FALSE(BASSMOD_MusicPlayEx(0, 0, TRUE));
}

TEST_F(Music, APlayingModuleIsHeardAndAStoppedOneIsNot) {
    ASSERT_TRUE(BASSMOD_Init(-1, 44100, 0));
    ASSERT_TRUE(Load("song.mod"));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(Loud(Played()), 0u) << "loaded but not started";

    ASSERT_TRUE(BASSMOD_Init(-1, 44100, 0));
    ASSERT_TRUE(Load("song.mod"));
    ASSERT_TRUE(BASSMOD_MusicPlayEx(0, 0, TRUE));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::vector<int16_t> played = Played();
    EXPECT_GT(Loud(played), played.size() / 2);
}

}  // namespace
