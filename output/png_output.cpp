#include <SDL.h>
#include <SDL_image.h>

#include "output/file_output.h"

bool OutputFiles::WritePng(const std::string& path, const uint32_t* pixels, int width, int height,
                           std::string& error) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels), width, height, 32, width * 4, SDL_PIXELFORMAT_RGB888);
    if (!surface) {
        error = std::string("cannot make a picture of ") + path + ": " + SDL_GetError();
        return false;
    }
    const bool claimed = Claim(path, error);
    const bool saved = claimed && IMG_SavePNG(surface, LastTemporary()) == 0;
    SDL_FreeSurface(surface);
    if (claimed && !saved) error = "cannot write " + path + ": " + SDL_GetError();
    return saved;
}
