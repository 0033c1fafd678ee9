#pragma once
// The default content of this test run: make-content.sh writes it once, for
// every test, into DEFAULT_CONTENT_DIR (the DefaultContent test in CTest).

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "authoring/pictures/generator.h"
#include "tests/pictures.h"

inline std::string DefaultContentBytes(const std::string& name) {
    std::ifstream file(DEFAULT_CONTENT_DIR "/" + name, std::ios::binary);
    if (!file) ADD_FAILURE() << DEFAULT_CONTENT_DIR "/" << name << " is missing: run the tests through ctest";
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// All 23 default pictures, read once per test program.
inline const std::vector<Picture>& DefaultPictures() {
    static const std::vector<Picture> pictures = [] {
        std::vector<Picture> read(DefaultPictureCount);
        for (int number = 1; number <= DefaultPictureCount; ++number)
            read[number - 1] = *PictureFromFileBytes(DefaultContentBytes(PictureFileName(number)));
        return read;
    }();
    return pictures;
}
