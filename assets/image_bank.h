#pragma once

#include "facts/content.h"
#include "facts/picture.h"

// Slot i holds the picture of file number i + 1; zero until loaded.
extern Picture ImageBank[ImageCount];

// Reads the picture files from the working directory: raw pictures of
// 307 200 bytes, pixels as bytes blue, green, red, spare. A short file fills
// only the start of its slot, a long one is read up to its first picture, and
// a file that cannot be opened, or is no regular file (a folder, a FIFO), leaves
// its slot black and is named on stderr.
void LoadImages();
