#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/image_bank.h"
#include "tests/scratch_directory.h"

namespace {

// Runs each test in a scratch folder of its own, with the bank scribbled over.
class ImageBankTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(scratch.Path());
        std::memset(ImageBank, 0xAA, sizeof ImageBank);
    }
    void TearDown() override { std::filesystem::current_path(previous); }
    void Write(const char* name, const std::vector<uint8_t>& bytes) {
        scratch.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    static bool SlotIs(int slot, uint8_t value, size_t from, size_t to) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(ImageBank[slot].Pixels);
        for (size_t i = from; i < to; ++i)
            if (bytes[i] != value) return false;
        return true;
    }
    ScratchDirectory scratch;
    std::filesystem::path previous;
};

TEST_F(ImageBankTest, FilesFillTheirSlotsAsLittleEndianWords) {
    std::vector<uint8_t> picture(PictureBytes, 7);
    picture[0] = 0x10, picture[1] = 0x20, picture[2] = 0x30, picture[3] = 0x40;
    Write("01.raw", picture);
    std::vector<uint8_t> last(PictureBytes, 0x5A);
    Write("23.raw", last);
    ::testing::internal::CaptureStderr();
    LoadImages();
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ImageBank[0].Pixels[0], 0x40302010u);
    EXPECT_TRUE(SlotIs(0, 7, 4, PictureBytes));
    EXPECT_TRUE(SlotIs(22, 0x5A, 0, PictureBytes));
}

TEST_F(ImageBankTest, ShortLongAndEmptyFiles) {
    Write("02.raw", std::vector<uint8_t>(1000, 9));
    std::vector<uint8_t> longer(PictureBytes + 500, 3);
    Write("03.raw", longer);
    Write("04.raw", {});
    ::testing::internal::CaptureStderr();
    LoadImages();
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(SlotIs(1, 9, 0, 1000));
    EXPECT_TRUE(SlotIs(1, 0, 1000, PictureBytes));  // the rest of a short file's slot is black
    EXPECT_TRUE(SlotIs(2, 3, 0, PictureBytes));
    EXPECT_TRUE(SlotIs(3, 0, 0, PictureBytes));
}

TEST_F(ImageBankTest, MissingFilesLeaveBlackSlotsAndAreNamed) {
    Write("05.raw", std::vector<uint8_t>(PictureBytes, 1));
    std::filesystem::create_directory(scratch.Path("06.raw"));
    ::testing::internal::CaptureStderr();
    LoadImages();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(SlotIs(0, 0, 0, PictureBytes));
    EXPECT_TRUE(SlotIs(4, 1, 0, PictureBytes));
    EXPECT_TRUE(SlotIs(5, 0, 0, PictureBytes));
    EXPECT_NE(errors.find("01.raw: No such file or directory"), std::string::npos);
    EXPECT_NE(errors.find("23.raw"), std::string::npos);
    EXPECT_NE(errors.find("06.raw: not a regular file"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("05.raw"), std::string::npos);
    // One line per missing file.
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 22);
}

}  // namespace
