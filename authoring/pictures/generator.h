#pragma once
// The show's 23 default pictures, computed: fractals, landscapes and
// patterns, each with its detail about the centre, where the show zooms and
// turns. The same bytes on every run.

#include "assets/image_bank.h"
#include "facts/picture.h"

// One default picture for every slot of the image bank.
constexpr int DefaultPictureCount = ImageCount;

// Draws default picture `number` (1 to 23) into `picture`, spare bytes 0.
void GeneratePicture(int number, Picture& picture);

// A short name for default picture `number`, for messages.
const char* DefaultPictureName(int number);
