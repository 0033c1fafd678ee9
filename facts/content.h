#pragma once
// The show's content as files: the pictures it cycles through and the music
// module, both read from the folder it runs in.

#include <cstdint>
#include <cstdio>

constexpr int ImageCount = 23;

// The file of picture `number` (1 to ImageCount): "01.raw" ... "23.raw".
constexpr int PictureFileNameSize = 16;  // room for any int
inline void PictureFileName(char (&name)[PictureFileNameSize], int number) {
    std::snprintf(name, sizeof name, "%02d.raw", number);
}

// The music module the show plays, beside the pictures.
constexpr char ModuleFileName[] = "kimo.xm";

// Far above any real module; more is refused rather than held in memory.
constexpr uint64_t MaxModuleBytes = 64 << 20;
