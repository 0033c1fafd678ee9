#include "assets/image_bank.h"

#include <errno.h>

#include <cstdio>
#include <cstring>

#include "platform/regular_file.h"

Picture ImageBank[ImageCount];

void LoadImages() {
    static_assert(sizeof(Picture) == PictureBytes, "a picture file is a memory image");
    for (int number = 1; number <= ImageCount; ++number) {
        char name[PictureFileNameSize];
        PictureFileName(name, number);
        // Cleared first: a missing file leaves a black slot, a short one a black tail.
        std::memset(ImageBank[number - 1].Pixels, 0, PictureBytes);
        uint64_t size;
        const char* problem;
        std::FILE* file = OpenRegularFile(name, size, problem);
        if (!file) {
            std::fprintf(stderr, "%s: cannot open picture %s: %s\n", program_invocation_short_name, name, problem);
            continue;
        }
        std::fread(ImageBank[number - 1].Pixels, 1, PictureBytes, file);
        std::fclose(file);
    }
}
