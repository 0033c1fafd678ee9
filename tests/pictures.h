#pragma once
// Pictures in tests: written as picture files, read back, and compared pixel
// for pixel with the first difference named.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "assets/image_bank.h"
#include "assets/picture_file.h"
#include "facts/picture.h"
#include "tests/scratch_directory.h"

// A picture file's bytes: blue, green, red, spare for each pixel.
inline std::string PictureFileBytes(const Picture& picture) {
    static uint8_t bytes[PictureBytes];
    EncodePictureFile(picture, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), PictureBytes);
}

// The picture in a picture file's bytes, which must be exactly one picture long.
inline std::unique_ptr<Picture> PictureFromFileBytes(const std::string& bytes) {
    auto picture = std::make_unique<Picture>();
    if (bytes.size() != static_cast<size_t>(PictureBytes)) {
        ADD_FAILURE() << "a picture file of " << bytes.size() << " bytes";
        return picture;
    }
    DecodePictureFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), *picture);
    return picture;
}

inline ::testing::AssertionResult SamePicture(const Picture& expected, const Picture& actual) {
    for (int i = 0; i < PicturePixels; ++i)
        if (expected.Pixels[i] != actual.Pixels[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "pixel (%d, %d): expected %08X, got %08X", i % PictureWidth,
                          i / PictureWidth, expected.Pixels[i], actual.Pixels[i]);
            return ::testing::AssertionFailure() << text;
        }
    return ::testing::AssertionSuccess();
}

// The same for the bytes of two picture files.
inline ::testing::AssertionResult SamePicture(const std::string& expected, const std::string& actual) {
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure() << "files of " << expected.size() << " and " << actual.size() << " bytes";
    return SamePicture(*PictureFromFileBytes(expected), *PictureFromFileBytes(actual));
}

inline std::string PictureFileName(int number) {
    char name[PictureFileNameSize];
    PictureFileName(name, number);
    return name;
}

// Writes the 23 picture files 01.raw ... 23.raw: gradients and patterns that
// differ from picture to picture, every channel 64 or more so that no part
// of the picture band shows black.
inline void WriteTestPictures(const ScratchDirectory& folder) {
    const auto picture = std::make_unique<Picture>();
    for (int number = 1; number <= ImageCount; ++number) {
        for (int y = 0; y < PictureHeight; ++y)
            for (int x = 0; x < PictureWidth; ++x)
                picture->Pixels[y * PictureWidth + x] = (64 + (x * 3 + number * 40) % 192) << 16 |
                                                        (64 + (y * 5) % 192) << 8 |
                                                        (64 + ((x ^ y) + number * 17) % 192);
        folder.Write(PictureFileName(number), PictureFileBytes(*picture));
    }
}
