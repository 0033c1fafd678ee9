#pragma once
// The default pictures as the tests compare them.

#include <string>
#include <vector>

#include "tools/demo_pictures/generator.h"

// All 23, drawn once per test program.
inline const std::vector<Picture>& DefaultPictures() {
    static const std::vector<Picture> pictures = [] {
        std::vector<Picture> made(DefaultPictureCount);
        for (int number = 1; number <= DefaultPictureCount; ++number) GeneratePicture(number, made[number - 1]);
        return made;
    }();
    return pictures;
}

// A picture file's bytes: blue, green, red, spare for each pixel.
inline std::string PictureFileBytes(const Picture& picture) {
    std::string bytes(PictureBytes, '\0');
    for (int i = 0; i < PicturePixels; ++i)
        for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<char>(picture.Pixels[i] >> (8 * b));
    return bytes;
}
