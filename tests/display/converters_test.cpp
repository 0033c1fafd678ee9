#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "display/converters.h"

namespace {

struct Row {
    PixelConverter converter;
    DWORD bits, red, green, blue;
};

const Row Rows[] = {
    {ConvertCopy32, 32, 0x00FF0000, 0x0000FF00, 0x000000FF}, {ConvertSwap32, 32, 0x000000FF, 0x0000FF00, 0x00FF0000},
    {ConvertPack24, 24, 0x00FF0000, 0x0000FF00, 0x000000FF}, {ConvertPack24Swap, 24, 0x000000FF, 0x0000FF00, 0x00FF0000},
    {ConvertRGB565, 16, 0xF800, 0x07E0, 0x001F},             {ConvertBGR565, 16, 0x001F, 0x07E0, 0xF800},
    {ConvertRGB555, 16, 0x7C00, 0x03E0, 0x001F},             {ConvertBGR555, 16, 0x001F, 0x03E0, 0x7C00},
};

// Converts `words` into a buffer with a guard byte pattern after the output.
std::vector<uint8_t> Convert(PixelConverter converter, std::vector<uint32_t> words, size_t outputBytes) {
    std::vector<uint8_t> out(outputBytes + 8, 0xCD);
    converter(words.data(), out.data(), static_cast<int>(words.size()));
    for (size_t i = outputBytes; i < out.size(); ++i) EXPECT_EQ(out[i], 0xCD) << "written past the row at " << i;
    out.resize(outputBytes);
    return out;
}

std::vector<uint16_t> Convert16(PixelConverter converter, std::vector<uint32_t> words) {
    const std::vector<uint8_t> bytes = Convert(converter, words, words.size() * 2);
    std::vector<uint16_t> out;
    for (size_t i = 0; i < bytes.size(); i += 2) out.push_back(static_cast<uint16_t>(bytes[i] | bytes[i + 1] << 8));
    return out;
}

std::vector<uint32_t> Convert32(PixelConverter converter, std::vector<uint32_t> words) {
    const std::vector<uint8_t> bytes = Convert(converter, words, words.size() * 4);
    std::vector<uint32_t> out;
    for (size_t i = 0; i < bytes.size(); i += 4)
        out.push_back(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | static_cast<uint32_t>(bytes[i + 3]) << 24);
    return out;
}

TEST(SelectConverter, EveryRowIsFoundByItsBitsAndMasks) {
    for (const Row& row : Rows) EXPECT_EQ(SelectConverter(row.bits, row.red, row.green, row.blue), row.converter);
}

TEST(SelectConverter, AnythingElseFindsNone) {
    EXPECT_EQ(SelectConverter(8, 0, 0, 0), nullptr);
    EXPECT_EQ(SelectConverter(32, 0xFF000000, 0x00FF0000, 0x0000FF00), nullptr);  // neither 32-bit row
    EXPECT_EQ(SelectConverter(32, 0x00FF0000, 0x0000FF00, 0x0000FFFF), nullptr);
    EXPECT_EQ(SelectConverter(24, 0xF800, 0x07E0, 0x001F), nullptr);               // right masks, wrong bits
    EXPECT_EQ(SelectConverter(15, 0x7C00, 0x03E0, 0x001F), nullptr);               // 15-bit modes say 16
    EXPECT_EQ(SelectConverter(16, 0x7C00, 0x07E0, 0x001F), nullptr);               // mixed masks
}

TEST(Converters, ThirtyTwoBitRows) {
    EXPECT_EQ(Convert32(ConvertCopy32, {0xAA102030, 0x00FFFFFF}), (std::vector<uint32_t>{0xAA102030, 0x00FFFFFF}));
    EXPECT_EQ(Convert32(ConvertSwap32, {0xAA102030, 0x00FF0000, 0x000000FF}),
              (std::vector<uint32_t>{0x00302010, 0x000000FF, 0x00FF0000}));
}

TEST(Converters, TwentyFourBitRowsAreBytesInOrder) {
    EXPECT_EQ(Convert(ConvertPack24, {0xAA102030, 0x00FFFFFF}, 6), (std::vector<uint8_t>{0x30, 0x20, 0x10, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Convert(ConvertPack24Swap, {0xAA102030, 0x00FFFFFF}, 6),
              (std::vector<uint8_t>{0x10, 0x20, 0x30, 0xFF, 0xFF, 0xFF}));
}

TEST(Converters, SixteenBitRowsTruncateEachChannel) {
    const std::vector<uint32_t> words = {0x00FFFFFF, 0x00FF0000, 0x000000FF, 0x0000FF00, 0xFF070307, 0x00100408};
    // white, red, blue, green, below one step (spare byte ignored), one or two steps
    EXPECT_EQ(Convert16(ConvertRGB565, words), (std::vector<uint16_t>{0xFFFF, 0xF800, 0x001F, 0x07E0, 0, 0x1021}));
    EXPECT_EQ(Convert16(ConvertBGR565, words), (std::vector<uint16_t>{0xFFFF, 0x001F, 0xF800, 0x07E0, 0, 0x0822}));
    EXPECT_EQ(Convert16(ConvertRGB555, words), (std::vector<uint16_t>{0x7FFF, 0x7C00, 0x001F, 0x03E0, 0, 0x0801}));
    EXPECT_EQ(Convert16(ConvertBGR555, words), (std::vector<uint16_t>{0x7FFF, 0x001F, 0x7C00, 0x03E0, 0, 0x0402}));
}

TEST(Converters, ACountOfZeroWritesNothing) {
    for (const Row& row : Rows) Convert(row.converter, {}, 0);
}

TEST(Converters, AFullRowLandsOnUnalignedMemory) {
    std::vector<uint32_t> words(320);
    for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint32_t>(i * 0x010203);
    for (const Row& row : Rows) {
        std::vector<uint8_t> aligned(320 * 4 + 1), unaligned(320 * 4 + 1);
        row.converter(words.data(), aligned.data(), 320);
        row.converter(words.data(), unaligned.data() + 1, 320);
        EXPECT_EQ(std::memcmp(aligned.data(), unaligned.data() + 1, row.bits / 8 * 320), 0);
    }
}

}  // namespace
