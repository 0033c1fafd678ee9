// The viewer's own photographs in the page: the browser decodes them, and
// they become show pictures here by the same scaling as demo-pictures convert.

#include <emscripten/emscripten.h>

#include <cstdlib>

#include "assets/picture_file.h"
#include "facts/content.h"
#include "import/image_file.h"
#include "import/resample.h"

namespace {

RgbImage OwnImage;
Picture OwnPicture;
uint8_t OwnPictureFile[PictureBytes];

}  // namespace

// The most pixels an image may have, and the most bytes its file: as
// demo-pictures allows; and the most bytes of a module, as the show plays.
extern "C" EMSCRIPTEN_KEEPALIVE double DemoOwnImageMaxPixels() { return static_cast<double>(MaxImagePixels); }
extern "C" EMSCRIPTEN_KEEPALIVE double DemoOwnImageMaxFileBytes() { return static_cast<double>(MaxImageFileBytes); }
extern "C" EMSCRIPTEN_KEEPALIVE double DemoOwnModuleMaxFileBytes() { return static_cast<double>(MaxModuleBytes); }

// Room for a decoded image of `width` x `height`, which the page fills with
// red, green, blue bytes row by row, transparent parts laid over black as
// demo-pictures does; null for a size the converter refuses or no memory.
extern "C" EMSCRIPTEN_KEEPALIVE uint8_t* DemoOwnImage(int width, int height) {
    OwnImage = {};
    if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) * height > MaxImagePixels) return nullptr;
    const size_t bytes = static_cast<size_t>(width) * height * 3;
    // The page's memory may not grow that far; a failed allocation must not end the program.
    void* room = std::malloc(bytes);
    if (!room) return nullptr;
    std::free(room);
    OwnImage.width = width;
    OwnImage.height = height;
    OwnImage.rgb.resize(bytes);
    return OwnImage.rgb.data();
}

// The image given through DemoOwnImage as the bytes of a picture file; the
// image's memory is given back.
extern "C" EMSCRIPTEN_KEEPALIVE const uint8_t* DemoOwnPicture() {
    ScaleToCover(OwnImage, OwnPicture);
    OwnImage = {};
    EncodePictureFile(OwnPicture, OwnPictureFile);
    return OwnPictureFile;
}
