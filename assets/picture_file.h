#pragma once
// The picture file: a raw picture of PictureBytes bytes, each pixel as the
// bytes blue, green, red, spare, whatever the processor's byte order.

#include <cstddef>
#include <cstdint>

#include "facts/picture.h"

void EncodePictureFile(const Picture& picture, uint8_t (&bytes)[PictureBytes]);

// The picture in the first `size` bytes of a picture file (at most
// PictureBytes are read): what they do not reach is black.
void DecodePictureFile(const uint8_t* bytes, size_t size, Picture& picture);
