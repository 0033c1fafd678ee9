// The converter's path from an image file's bytes to a picture: the size and
// structure checks, the image decoders and the scaling. Whatever the bytes,
// an image is refused with a reason or decoded within the size bound.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "import/image_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Picture picture;
    RgbImage image;
    std::string error;
    // The name only lets bytes without a known signature be read as TGA.
    if (!DecodeImage(data, size, "input.tga", image, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    const uint64_t pixels = static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height);
    if (image.width <= 0 || image.height <= 0 || pixels > MaxImagePixels || image.rgb.size() != pixels * 3)
        std::abort();
    ScaleToCover(image, picture);
    return 0;
}
