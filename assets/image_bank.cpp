#include "assets/image_bank.h"

#include <errno.h>

#include <cstdio>

#include "assets/picture_file.h"
#include "platform/regular_file.h"

Picture ImageBank[ImageCount];

void LoadImages() {
    static uint8_t bytes[PictureBytes];
    for (int number = 1; number <= ImageCount; ++number) {
        char name[PictureFileNameSize];
        PictureFileName(name, number);
        uint64_t size;
        const char* problem;
        std::FILE* file = OpenRegularFile(name, size, problem);
        size_t got = 0;
        if (file) {
            got = std::fread(bytes, 1, PictureBytes, file);
            std::fclose(file);
        } else {
            std::fprintf(stderr, "%s: cannot open picture %s: %s\n", program_invocation_short_name, name, problem);
        }
        // A missing file leaves a black slot, a short one a black tail.
        DecodePictureFile(bytes, got, ImageBank[number - 1]);
    }
}
