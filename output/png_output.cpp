#include <SDL.h>
#include <SDL_image.h>
#include <unistd.h>

#include <cstdio>

#include "output/file_output.h"

bool OutputFiles::WritePng(const std::string& path, const uint32_t* pixels, int width, int height,
                           std::string& error) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels), width, height, 32, width * 4, SDL_PIXELFORMAT_RGB888);
    if (!surface) {
        error = std::string("cannot make a picture of ") + path + ": " + SDL_GetError();
        return false;
    }
    bool saved = false;
    if (Claim(path, error)) {
        // Through the temporary file's own descriptor, which Commit flushes and closes.
        const int fd = dup(pending_.back().fd);
        std::FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
        if (!file && fd >= 0) close(fd);
        SDL_RWops* stream = file ? SDL_RWFromFP(file, SDL_TRUE) : nullptr;
        if (!stream && file) std::fclose(file);
        saved = stream && IMG_SavePNG_RW(surface, stream, 1) == 0;
        if (!saved) error = "cannot write " + path + ": " + (stream ? SDL_GetError() : "out of file handles");
    }
    SDL_FreeSurface(surface);
    return saved;
}
