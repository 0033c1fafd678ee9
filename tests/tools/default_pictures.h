#pragma once
// The 23 default pictures, drawn once for the whole test program.

#include <vector>

#include "tools/demo_pictures/generator.h"

inline const std::vector<Picture>& DefaultPictures() {
    static const std::vector<Picture> pictures = [] {
        std::vector<Picture> made(DefaultPictureCount);
        for (int number = 1; number <= DefaultPictureCount; ++number) GeneratePicture(number, made[number - 1]);
        return made;
    }();
    return pictures;
}
