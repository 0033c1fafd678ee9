// The viewer's own photographs in the page: the browser decodes them, and
// they become show pictures here by the same scaling as demo-pictures convert.

#include <cstdlib>

#include "assets/picture_file.h"
#include "facts/content.h"
#include "import/image_file.h"
#include "import/resample.h"
#include "platform/web/page_contract.h"

namespace {

RgbImage OwnImage;
Picture OwnPicture;
uint8_t OwnPictureFile[PictureBytes];

}  // namespace

// The most pixels an image may have, and the most bytes its file: as
// demo-pictures allows; and the most bytes of a module, as the show plays.
double DemoOwnImageMaxPixels() { return static_cast<double>(MaxImagePixels); }
double DemoOwnImageMaxFileBytes() { return static_cast<double>(MaxImageFileBytes); }
double DemoOwnModuleMaxFileBytes() { return static_cast<double>(MaxModuleBytes); }

// Room for the page's red, green, blue, alpha bytes, laid over black in place
// once they are all there.
uint8_t* DemoOwnImage(int width, int height) {
    OwnImage = {};
    if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) * height > MaxImagePixels) return nullptr;
    const size_t bytes = static_cast<size_t>(width) * height * 4;
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
const uint8_t* DemoOwnPicture() {
    const size_t pixels = static_cast<size_t>(OwnImage.width) * OwnImage.height;
    LayOverBlack(OwnImage.rgb.data(), pixels, OwnImage.rgb.data());
    OwnImage.rgb.resize(pixels * 3);
    ScaleToCover(OwnImage, OwnPicture);
    OwnImage = {};
    EncodePictureFile(OwnPicture, OwnPictureFile);
    return OwnPictureFile;
}
