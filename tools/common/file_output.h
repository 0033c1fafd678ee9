#pragma once
// Output files for the tools: each appears complete under its name or not at
// all, never half-written.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fx/picture.h"

// Writes `size` bytes to `path` through a temporary file beside it.
bool WriteFileAtomically(const std::string& path, const void* bytes, size_t size,
                         std::string& error);

// Writes a picture file: each pixel as the bytes blue, green, red, spare.
bool WritePictureFile(const std::string& path, const Picture& picture, std::string& error);

// Writes 0x00RRGGBB pixels as an RGB PNG file, through a temporary file.
bool WritePngAtomically(const std::string& path, const uint32_t* pixels, int width, int height,
                        std::string& error);

// Creates `path` as a directory if it does not exist yet.
bool EnsureDirectory(const std::string& path, std::string& error);
