#pragma once
// Reading ordinary image files for conversion, with bounds on what any file
// can make the converter hold in memory.

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/resample.h"

// The largest image converted: 64 megapixels, such as 8192 x 8192.
constexpr uint64_t MaxImagePixels = 64ull << 20;
// The largest image file read: room for a 64-megapixel BMP at 32 bits.
constexpr uint64_t MaxImageFileBytes = 260ull << 20;

// Decodes a PNG, JPEG, BMP, GIF, TGA or WebP image from its bytes;
// transparent parts are laid over black, and a JPEG or PNG photo is turned
// upright as its EXIF orientation says. TGA files, which have no signature, are told by
// `name` ending in ".tga". The dimensions are read, and refused above
// MaxImagePixels, before anything is decoded; a file cut short or with broken
// structure is refused too. On failure `error` says why.
bool DecodeImage(const uint8_t* bytes, size_t size, const std::string& name, RgbImage& image, std::string& error);

// Reads and decodes the image file `path`: a regular file of at most
// MaxImageFileBytes. On failure `error` names the file and says why.
bool LoadImageFile(const std::string& path, RgbImage& image, std::string& error);
