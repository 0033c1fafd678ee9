#include "assets/picture_file.h"

#include <algorithm>
#include <cstring>

void EncodePictureFile(const Picture& picture, uint8_t (&bytes)[PictureBytes]) {
    for (int i = 0; i < PicturePixels; ++i)
        for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<uint8_t>(picture.Pixels[i] >> (8 * b));
}

void DecodePictureFile(const uint8_t* bytes, size_t size, Picture& picture) {
    std::memset(picture.Pixels, 0, PictureBytes);
    const size_t used = std::min(size, static_cast<size_t>(PictureBytes));
    for (size_t i = 0; i < used; ++i) picture.Pixels[i / 4] |= static_cast<uint32_t>(bytes[i]) << (8 * (i % 4));
}
