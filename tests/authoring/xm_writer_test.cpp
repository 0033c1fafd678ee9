#include "authoring/xm/xm_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "tests/tools/openmpt_module.h"

namespace {

// libopenmpt numbers notes one octave higher than the XM file stores them.
constexpr int LibraryNoteOffset = 12;

std::string Encode(const XmModule& module) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(EncodeXm(module, bytes, error)) << error;
    return std::string(bytes.begin(), bytes.end());
}

XmInstrument Tone(const char* name, size_t frames) {
    XmInstrument instrument;
    instrument.name = name;
    instrument.sample.resize(frames);
    for (size_t i = 0; i < frames; ++i)
        instrument.sample[i] = static_cast<int16_t>(std::lround(20000 * std::sin(2 * std::numbers::pi * static_cast<double>(i) / 128)));
    instrument.loop = XmLoop::Forward;
    instrument.loopLength = static_cast<uint32_t>(frames);
    instrument.relativeNote = 24;  // 128-frame cycles at C-4 sound at 33452 / 128 Hz
    return instrument;
}

XmModule SmallModule() {
    XmModule module;
    module.name = "small";
    module.tracker = "test";
    module.channels = 2;
    module.speed = 3;
    module.tempo = 150;
    module.orders = {1, 0, 1};
    module.restartPosition = 1;
    module.patterns.resize(2);
    module.patterns[0].rows = 16;
    module.patterns[0].cells.resize(32);
    module.patterns[1].rows = 32;
    module.patterns[1].cells.resize(64);
    module.patterns[1].cells[0] = {XmNoteC0 + 48, 1, 0x50, 0x08, 0x40};  // C-4, instrument 1, volume 64, panning
    module.patterns[1].cells[2 * 5 + 1] = {XmKeyOff, 0, 0, 0, 0};
    module.patterns[0].cells[2 * 15 + 1] = {XmNoteC0 + 57, 2, 0x30, 0x0F, 0x04};  // A-4, instrument 2, speed 4
    module.instruments = {Tone("first", 128), Tone("second", 256)};
    module.instruments[0].volumeEnvelope = {{{0, 0}, {4, 64}, {40, 32}}, 2, -1, -1};
    return module;
}

TEST(PackXmPattern, StoresOnlyTheFieldsACellUses) {
    XmPattern pattern;
    pattern.rows = 4;
    pattern.cells = {{}, {XmNoteC0 + 12, 0, 0, 0, 0}, {0, 0, 0, 0, 0x37}, {XmKeyOff, 3, 0x40, 0x0C, 0x20}};
    const std::vector<uint8_t> expected = {0x80, 0x81, 13, 0x90, 0x37, XmKeyOff, 3, 0x40, 0x0C, 0x20};
    EXPECT_EQ(PackXmPattern(pattern), expected);
}

TEST(EncodeXm, LibopenmptReadsBackTheSongAsWritten) {
    const auto loaded = LoadModule(Encode(SmallModule()));
    ASSERT_TRUE(loaded);
    openmpt_module* module = loaded->module;
    EXPECT_TRUE(loaded->log.empty()) << loaded->log.front();
    EXPECT_EQ(loaded->Metadata("type"), "xm");
    EXPECT_EQ(loaded->Metadata("warnings"), "");
    EXPECT_EQ(loaded->Metadata("title"), "small");
    EXPECT_EQ(openmpt_module_get_num_channels(module), 2);
    ASSERT_EQ(openmpt_module_get_num_orders(module), 3);
    EXPECT_EQ(openmpt_module_get_order_pattern(module, 0), 1);
    EXPECT_EQ(openmpt_module_get_order_pattern(module, 1), 0);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(module, 0), 16);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(module, 1), 32);
    ASSERT_EQ(openmpt_module_get_num_instruments(module), 2);
    const char* name = openmpt_module_get_instrument_name(module, 1);
    EXPECT_STREQ(name, "second");
    openmpt_free_string(name);
    EXPECT_EQ(openmpt_module_get_current_speed(module), 3);
    EXPECT_EQ(openmpt_module_get_current_tempo(module), 150);

    const auto command = [&](int pattern, int row, int channel, int which) {
        return openmpt_module_get_pattern_row_channel_command(module, pattern, row, channel, which);
    };
    EXPECT_EQ(command(1, 0, 0, OPENMPT_MODULE_COMMAND_NOTE), XmNoteC0 + 48 + LibraryNoteOffset);
    EXPECT_EQ(command(1, 0, 0, OPENMPT_MODULE_COMMAND_INSTRUMENT), 1);
    EXPECT_EQ(command(1, 0, 0, OPENMPT_MODULE_COMMAND_VOLUME), 64);
    EXPECT_EQ(command(1, 0, 0, OPENMPT_MODULE_COMMAND_PARAMETER), 0x40);
    EXPECT_EQ(command(1, 5, 1, OPENMPT_MODULE_COMMAND_NOTE), 255);  // libopenmpt's key-off
    EXPECT_EQ(command(0, 15, 1, OPENMPT_MODULE_COMMAND_NOTE), XmNoteC0 + 57 + LibraryNoteOffset);
    EXPECT_EQ(command(0, 15, 1, OPENMPT_MODULE_COMMAND_INSTRUMENT), 2);
    EXPECT_EQ(command(0, 15, 1, OPENMPT_MODULE_COMMAND_VOLUME), 32);
    EXPECT_EQ(command(0, 15, 1, OPENMPT_MODULE_COMMAND_PARAMETER), 4);
    EXPECT_EQ(command(0, 3, 0, OPENMPT_MODULE_COMMAND_NOTE), 0);

    // 32 rows at speed 3, 15 more until the last row of pattern 0 sets speed 4,
    // then 33 rows at that speed; a tick lasts 2.5 / 150 s.
    EXPECT_NEAR(openmpt_module_get_duration_seconds(module), (32 * 3 + 15 * 3 + 33 * 4) * 2.5 / 150, 1e-6);
}

TEST(EncodeXm, SampleDataAndTuningSurviveTheRoundTrip) {
    // A looped sine played at C-5 must sound at 523 Hz, smooth from sample to sample.
    XmModule module = SmallModule();
    module.orders = {1};
    module.restartPosition = 0;
    module.patterns[1].cells[0] = {XmNoteC0 + 60, 1, 0, 0, 0};
    module.patterns[1].cells[2 * 5 + 1] = {};
    module.instruments[0].volumeEnvelope = {};
    module.instruments[0].finetune = 2;  // 33452 / 128 Hz is 1.9 cents below middle C
    const auto loaded = LoadModule(Encode(module));
    ASSERT_TRUE(loaded);
    const std::vector<float> sound = loaded->Render(1.0, 48000);
    ASSERT_EQ(sound.size(), 48000u);
    int rises = 0;
    float loudest = 0, largestStep = 0;
    for (size_t i = 4800; i < sound.size(); ++i) {  // from 0.1 s on, past the start
        rises += sound[i - 1] < 0 && sound[i] >= 0;
        loudest = std::max(loudest, std::fabs(sound[i]));
        largestStep = std::max(largestStep, std::fabs(sound[i] - sound[i - 1]));
    }
    EXPECT_NEAR(rises, 523.25 * 0.9, 3);
    EXPECT_GT(loudest, 0.05f);
    EXPECT_LT(largestStep, loudest * 2 * std::numbers::pi * 523.25 / 48000 * 1.1);
}

TEST(EncodeXm, RefusesModulesTheFormatCannotHold) {
    struct Case {
        const char* what;
        void (*spoil)(XmModule&);
    };
    const Case cases[] = {
        {"order to a missing pattern", [](XmModule& m) { m.orders.push_back(2); }},
        {"no orders", [](XmModule& m) { m.orders.clear(); }},
        {"restart past the end", [](XmModule& m) { m.restartPosition = 3; }},
        {"33 channels", [](XmModule& m) { m.channels = 33; }},
        {"cells not rows x channels", [](XmModule& m) { m.patterns[0].cells.pop_back(); }},
        {"257 rows", [](XmModule& m) { m.patterns[0].rows = 257; m.patterns[0].cells.resize(514); }},
        {"note 98", [](XmModule& m) { m.patterns[0].cells[0].note = 98; }},
        {"instrument 3", [](XmModule& m) { m.patterns[0].cells[0].instrument = 3; }},
        {"13 envelope points", [](XmModule& m) { m.instruments[0].volumeEnvelope.points.resize(13); }},
        {"falling envelope ticks", [](XmModule& m) { m.instruments[0].volumeEnvelope.points[2].tick = 3; }},
        {"sustain past the points", [](XmModule& m) { m.instruments[0].volumeEnvelope.sustain = 3; }},
        {"loop past the sample", [](XmModule& m) { m.instruments[1].loopStart = 1; }},
        {"empty sample", [](XmModule& m) { m.instruments[1].sample.clear(); }},
        {"long name", [](XmModule& m) { m.instruments[0].name = std::string(23, 'x'); }},
        {"speed 0", [](XmModule& m) { m.speed = 0; }},
    };
    for (const Case& c : cases) {
        XmModule module = SmallModule();
        c.spoil(module);
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_FALSE(EncodeXm(module, bytes, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

}  // namespace
