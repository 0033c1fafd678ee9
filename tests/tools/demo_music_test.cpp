#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/tools/openmpt_module.h"
#include "tests/scratch_directory.h"

namespace {

const std::string Tool = DEMO_MUSIC_PATH;

// Written once for the suite by the real tool.
const std::string& SongBytes() {
    static const std::string bytes = [] {
        ScratchDirectory scratch;
        EXPECT_EQ(scratch.Run(Tool + " kimo.xm"), 0) << scratch.Errors();
        return scratch.Read("kimo.xm");
    }();
    return bytes;
}

unsigned Word(const std::string& bytes, size_t at) {
    return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8;
}

TEST(DemoMusic, WritesAVersion104XmWithTheSameBytesEveryRun) {
    ScratchDirectory scratch;
    ASSERT_EQ(scratch.Run(Tool + " again.xm"), 0) << scratch.Errors();
    EXPECT_TRUE(scratch.Read("again.xm") == SongBytes());
    EXPECT_EQ(scratch.List(), std::vector<std::string>{"again.xm"});
    ASSERT_GT(SongBytes().size(), 80u);
    EXPECT_EQ(SongBytes().substr(0, 17), "Extended Module: ");
    EXPECT_EQ(SongBytes()[37], '\x1A');
    EXPECT_EQ(Word(SongBytes(), 58), 0x0104u);
}

TEST(DemoMusic, LoadsCleanlyAsALongXmSong) {
    const auto loaded = LoadModule(SongBytes());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Metadata("type"), "xm");
    EXPECT_EQ(loaded->Metadata("warnings"), "");
    EXPECT_TRUE(loaded->log.empty()) << loaded->log.front();
    EXPECT_GE(openmpt_module_get_num_channels(loaded->module), 6);
    EXPECT_GE(openmpt_module_get_num_instruments(loaded->module), 4);
    EXPECT_GE(openmpt_module_get_duration_seconds(loaded->module), 90);
}

TEST(DemoMusic, PhrasesFallOnTheShowsSixteenSecondSegments) {
    // Speed 6 at tempo 120: a row is 6 x 2.5 / 120 = 0.125 s, a 64-row pattern 8 s.
    const auto loaded = LoadModule(SongBytes());
    ASSERT_TRUE(loaded);
    openmpt_module* module = loaded->module;
    EXPECT_EQ(openmpt_module_get_current_speed(module), 6);
    EXPECT_EQ(openmpt_module_get_current_tempo(module), 120);
    const int orders = openmpt_module_get_num_orders(module);
    EXPECT_EQ(orders % 2, 0);
    for (int order = 0; order < orders; ++order)
        EXPECT_EQ(openmpt_module_get_pattern_num_rows(module, openmpt_module_get_order_pattern(module, order)), 64);
    EXPECT_DOUBLE_EQ(openmpt_module_get_duration_seconds(module), orders * 8.0);
}

TEST(DemoMusic, LoopsBackToTheStartOfASection) {
    const auto loaded = LoadModule(SongBytes());
    ASSERT_TRUE(loaded);
    openmpt_module* module = loaded->module;
    const unsigned restart = Word(SongBytes(), 66);
    EXPECT_GT(restart, 0u);
    EXPECT_EQ(restart % 2, 0u);  // a section is two patterns
    openmpt_module_set_repeat_count(module, -1);
    openmpt_module_set_position_seconds(module, openmpt_module_get_duration_seconds(module) - 0.5);
    EXPECT_EQ(loaded->Render(0.9, 22050).size(), 19845u);  // it plays on past the end
    EXPECT_EQ(openmpt_module_get_current_order(module), static_cast<int>(restart));
    EXPECT_EQ(openmpt_module_get_current_row(module), 3);
}

TEST(DemoMusic, EverySectionIsAudibleAndNoneClips) {
    const auto loaded = LoadModule(SongBytes());
    ASSERT_TRUE(loaded);
    const int rate = 22050;
    const std::vector<float> sound = loaded->Render(openmpt_module_get_duration_seconds(loaded->module), rate);
    const size_t section = 16 * rate;
    ASSERT_GE(sound.size() / section, 6u);
    for (size_t start = 0; start + section <= sound.size(); start += section) {
        double power = 0;
        float peak = 0;
        for (size_t i = start; i < start + section; ++i) {
            power += sound[i] * sound[i];
            peak = std::max(peak, std::fabs(sound[i]));
        }
        const double level = 10 * std::log10(power / section);
        EXPECT_GT(level, -35) << "section at " << start / rate << " s";
        EXPECT_LT(peak, 1.0f) << "section at " << start / rate << " s";
    }
}

TEST(DemoMusic, BadCommandLinesAndUnwritablePlacesFail) {
    ScratchDirectory scratch;
    for (const char* args : {"", "a.xm b.xm", "--bogus"}) {
        EXPECT_EQ(scratch.Run(Tool + " " + args), 2) << args;
        EXPECT_NE(scratch.Errors().find("usage: demo-music"), std::string::npos) << args;
    }
    scratch.Write("file", "x");
    EXPECT_EQ(scratch.Run(Tool + " file/kimo.xm"), 1);
    EXPECT_NE(scratch.Errors().find("demo-music: cannot write file/kimo.xm"), std::string::npos) << scratch.Errors();
    EXPECT_EQ(scratch.List(), std::vector<std::string>{"file"});
}

// Modules written by others, from Debian's tecnoballz-data package: they
// show that the checks above read real music the way players do. Most are
// ProTracker modules; one, despite its name, is an XM file.
TEST(RealModules, LoadPlayAndReportTheirStructure) {
    const std::filesystem::path folder = "/usr/share/games/tecnoballz/musics";
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "modules missing: install tecnoballz-data (scripts/setup.sh --tests)";
    int checked = 0, extended = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".mod") continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        const bool xm = bytes.compare(0, 17, "Extended Module: ") == 0;
        ASSERT_TRUE(xm || bytes.compare(1080, 4, "M.K.") == 0) << entry.path();
        const auto loaded = LoadModule(bytes);
        ASSERT_TRUE(loaded) << entry.path();
        EXPECT_EQ(loaded->Metadata("type"), xm ? "xm" : "mod") << entry.path();
        EXPECT_EQ(openmpt_module_get_num_channels(loaded->module), 4) << entry.path();
        EXPECT_GT(openmpt_module_get_duration_seconds(loaded->module), 5) << entry.path();
        const std::vector<float> sound = loaded->Render(4.0, 22050);
        EXPECT_TRUE(std::any_of(sound.begin(), sound.end(), [](float s) { return std::fabs(s) > 0.01f; })) << entry.path();
        if (xm) {
            // Its header agrees with ours on the format version and the header size.
            EXPECT_EQ(Word(bytes, 58), Word(SongBytes(), 58));
            EXPECT_EQ(bytes.substr(60, 4), SongBytes().substr(60, 4));
            ++extended;
        }
        ++checked;
    }
    EXPECT_GE(checked, 10);
    EXPECT_EQ(extended, 1);
}

}  // namespace
