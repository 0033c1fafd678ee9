#include "tools/common/file_output.h"

#include <SDL.h>
#include <SDL_image.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string TemporaryName(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t cut = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, cut) + "." + path.substr(cut) + ".tmp" + std::to_string(getpid());
}

bool Commit(const std::string& temporary, const std::string& path, std::string& error) {
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const void* bytes, size_t size,
                         std::string& error) {
    const std::string temporary = TemporaryName(path);
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    const int savedErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write " + path + ": " + std::strerror(written ? errno : savedErrno);
        std::remove(temporary.c_str());
        return false;
    }
    return Commit(temporary, path, error);
}

bool WritePictureFile(const std::string& path, const Picture& picture, std::string& error) {
    static uint8_t bytes[PictureBytes];
    for (int i = 0; i < PicturePixels; ++i)
        for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<uint8_t>(picture.Pixels[i] >> (8 * b));
    return WriteFileAtomically(path, bytes, sizeof bytes, error);
}

bool WritePngAtomically(const std::string& path, const uint32_t* pixels, int width, int height,
                        std::string& error) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels), width, height, 32, width * 4, SDL_PIXELFORMAT_RGB888);
    if (!surface) {
        error = std::string("cannot make a picture of ") + path + ": " + SDL_GetError();
        return false;
    }
    const std::string temporary = TemporaryName(path);
    const bool saved = IMG_SavePNG(surface, temporary.c_str()) == 0;
    SDL_FreeSurface(surface);
    if (!saved) {
        error = "cannot write " + path + ": " + SDL_GetError();
        std::remove(temporary.c_str());
        return false;
    }
    return Commit(temporary, path, error);
}

bool EnsureDirectory(const std::string& path, std::string& error) {
    if (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
        error = path + " exists and is not a directory";
        return false;
    }
    error = "cannot create directory " + path + ": " + std::strerror(errno);
    return false;
}
