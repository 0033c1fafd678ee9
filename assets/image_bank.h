#pragma once

#include <cstdio>

#include "fx/picture.h"

constexpr int ImageCount = 23;

// The file of picture `number` (1 to ImageCount): "01.raw" ... "23.raw".
constexpr int PictureFileNameSize = 16;  // room for any int
inline void PictureFileName(char (&name)[PictureFileNameSize], int number) {
    std::snprintf(name, sizeof name, "%02d.raw", number);
}

// Slot i holds the picture of file number i + 1; zero until loaded.
extern Picture ImageBank[ImageCount];

// Reads the picture files from the working directory: raw pictures of
// 307 200 bytes, pixels as bytes blue, green, red, spare. A short file fills
// only the start of its slot, a long one is read up to its first picture, and
// a file that cannot be opened, or is no regular file (a folder, a FIFO), leaves
// its slot black and is named on stderr.
void LoadImages();
