#pragma once

#include "fx/picture.h"

constexpr int ImageCount = 23;

// Slot i holds the picture of file number i + 1; zero until loaded.
extern Picture ImageBank[ImageCount];

// Reads "01.raw" ... "23.raw" from the working directory: raw pictures of
// 307 200 bytes, pixels as bytes blue, green, red, spare. A short file fills
// only the start of its slot, a long one is read up to its first picture, and
// a file that cannot be opened leaves its slot black and is named on stderr.
void LoadImages();
