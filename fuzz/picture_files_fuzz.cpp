// The show's picture loader over a folder the input lays out. The first
// ImageCount bytes say what each picture file is (missing, a file holding the
// rest of the input, an empty file, a file far longer than a picture, a
// folder, a dangling link or a FIFO). Whatever is there, each slot of the
// image bank must hold the start of its regular file and be black past it.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "assets/image_bank.h"

namespace {

enum Kind { Missing, Regular, Empty, Long, Folder, DanglingLink, Fifo, KindCount };

std::string Scratch;
uint8_t Expected[PictureBytes];

std::string Name(int number) {
    char name[PictureFileNameSize];
    PictureFileName(name, number);
    return name;
}

void RemoveAll() {
    for (int number = 1; number <= ImageCount; ++number) {
        unlink(Name(number).c_str());
        rmdir(Name(number).c_str());
    }
}

bool WriteFile(const std::string& name, const uint8_t* bytes, size_t size, off_t length) {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && ok && truncate(name.c_str(), length) == 0;
}

bool Make(Kind kind, const std::string& name, const uint8_t* content, size_t size) {
    switch (kind) {
    case Regular: return WriteFile(name, content, size, static_cast<off_t>(size));
    case Empty: return WriteFile(name, content, 0, 0);
    case Long: return WriteFile(name, content, size, static_cast<off_t>(size + PictureBytes));
    case Folder: return mkdir(name.c_str(), 0755) == 0;
    case DanglingLink: return symlink("nowhere", name.c_str()) == 0;
    case Fifo: return mkfifo(name.c_str(), 0644) == 0;
    default: return true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/pictures-XXXXXX";
    if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) {
        std::perror("scratch folder");
        std::abort();
    }
    Scratch = pattern;
    std::atexit([] {
        RemoveAll();
        rmdir(Scratch.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t kinds = std::min<size_t>(size, ImageCount);
    const uint8_t* content = data + kinds;
    const size_t contentSize = size - kinds;
    RemoveAll();
    Kind kind[ImageCount];
    for (int i = 0; i < ImageCount; ++i) {
        kind[i] = static_cast<size_t>(i) < kinds ? static_cast<Kind>(data[i] % KindCount) : Missing;
        if (!Make(kind[i], Name(i + 1), content, contentSize)) {
            std::perror(Name(i + 1).c_str());
            std::abort();
        }
    }

    LoadImages();

    for (int i = 0; i < ImageCount; ++i) {
        std::memset(Expected, 0, PictureBytes);
        if (kind[i] == Regular || kind[i] == Long)
            std::memcpy(Expected, content, std::min<size_t>(contentSize, PictureBytes));
        if (std::memcmp(ImageBank[i].Pixels, Expected, PictureBytes) != 0) {
            std::fprintf(stderr, "slot %d does not hold what %s holds\n", i + 1, Name(i + 1).c_str());
            std::abort();
        }
    }
    return 0;
}
