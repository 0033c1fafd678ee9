#include "assets/image_bank.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

Picture ImageBank[ImageCount];

void LoadImages() {
    static_assert(sizeof(Picture) == PictureBytes, "a picture file is a memory image");
    for (int number = 1; number <= ImageCount; ++number) {
        char name[PictureFileNameSize];
        PictureFileName(name, number);
        // Cleared first: a missing file leaves a black slot, a short one a black tail.
        std::memset(ImageBank[number - 1].Pixels, 0, PictureBytes);
        std::FILE* file = std::fopen(name, "rb");
        if (!file) {
            std::fprintf(stderr, "demo: cannot open picture %s: %s\n", name, std::strerror(errno));
            continue;
        }
        std::fread(ImageBank[number - 1].Pixels, 1, PictureBytes, file);
        std::fclose(file);
    }
}
