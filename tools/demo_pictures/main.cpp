// demo-pictures: makes the show's picture files: the default pictures, or
// pictures converted from ordinary image files; and shows a picture file as PNG.

#include <SDL.h>
#include <SDL_image.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "assets/image_bank.h"
#include "tools/common/file_output.h"
#include "tools/demo_pictures/generator.h"
#include "tools/demo_pictures/resample.h"

namespace {

constexpr int MaxSquare = 1024;

int Usage(const std::string& problem) {
    if (!problem.empty()) std::fprintf(stderr, "demo-pictures: %s\n", problem.c_str());
    std::fprintf(stderr,
                 "usage: demo-pictures generate OUTDIR\n"
                 "         writes the 23 default pictures OUTDIR/01.raw ... OUTDIR/23.raw\n"
                 "       demo-pictures convert IMAGE... OUTDIR\n"
                 "         turns up to 23 images (PNG, JPEG, BMP, GIF, TGA) into OUTDIR/01.raw ...,\n"
                 "         each scaled to cover 320 x 240 and cropped to the middle\n"
                 "       demo-pictures view [--square N] PICTURE.raw OUT.png\n"
                 "         writes a picture file as a PNG image; with --square, its middle\n"
                 "         square scaled to N x N pixels (N from 1 to 1024)\n");
    return 2;
}

int Fail(const std::string& error) {
    std::fprintf(stderr, "demo-pictures: %s\n", error.c_str());
    return 1;
}

std::string PicturePath(const std::string& directory, int number) {
    char name[PictureFileNameSize];
    PictureFileName(name, number);
    return directory + "/" + name;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) {
        uint8_t chunk[65536];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
        const int readError = std::ferror(file) ? errno : 0;
        std::fclose(file);
        if (!readError) return true;
        errno = readError;
    }
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Reads an image; transparent parts are laid over black.
bool LoadImage(const std::string& path, RgbImage& image, std::string& error) {
    const Surface loaded(IMG_Load(path.c_str()));
    const Surface rgba(loaded ? SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0) : nullptr);
    if (!rgba) {
        error = "cannot read " + path + ": " + SDL_GetError();
        return false;
    }
    image.width = rgba->w;
    image.height = rgba->h;
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
        uint8_t* out = image.rgb.data() + static_cast<size_t>(y) * image.width * 3;
        for (int x = 0; x < image.width; ++x)
            for (int c = 0; c < 3; ++c) out[x * 3 + c] = static_cast<uint8_t>((row[x * 4 + c] * row[x * 4 + 3] + 127) / 255);
    }
    return true;
}

int Generate(const std::string& directory) {
    std::string error;
    if (!EnsureDirectory(directory, error)) return Fail(error);
    const auto picture = std::make_unique<Picture>();
    for (int number = 1; number <= DefaultPictureCount; ++number) {
        GeneratePicture(number, *picture);
        if (!WritePictureFile(PicturePath(directory, number), *picture, error)) return Fail(error);
    }
    return 0;
}

// Every image is read and scaled before the first file is written, so a bad
// image leaves the folder as it was.
int Convert(const std::vector<std::string>& images, const std::string& directory) {
    std::vector<Picture> pictures(images.size());
    std::string error;
    for (size_t i = 0; i < images.size(); ++i) {
        RgbImage image;
        if (!LoadImage(images[i], image, error)) return Fail(error);
        ScaleToCover(image, pictures[i]);
    }
    if (!EnsureDirectory(directory, error)) return Fail(error);
    for (size_t i = 0; i < pictures.size(); ++i)
        if (!WritePictureFile(PicturePath(directory, static_cast<int>(i) + 1), pictures[i], error)) return Fail(error);
    return 0;
}

// `square` 0 writes the picture as it is.
int View(const std::string& path, const std::string& png, int square) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, error)) return Fail(error);
    if (bytes.size() != PictureBytes)
        return Fail(path + " is " + std::to_string(bytes.size()) + " bytes long; a picture file is exactly " +
                    std::to_string(PictureBytes));
    std::vector<uint32_t> pixels(PicturePixels);
    for (int i = 0; i < PicturePixels; ++i)
        for (int b = 0; b < 3; ++b) pixels[i] |= static_cast<uint32_t>(bytes[4 * i + b]) << (8 * b);
    if (square == 0) {
        if (!WritePngAtomically(png, pixels.data(), PictureWidth, PictureHeight, error)) return Fail(error);
        return 0;
    }
    RgbImage image{PictureWidth, PictureHeight, std::vector<uint8_t>(PicturePixels * 3)};
    for (int i = 0; i < PicturePixels; ++i)
        for (int c = 0; c < 3; ++c) image.rgb[3 * i + c] = static_cast<uint8_t>(pixels[i] >> (16 - 8 * c));
    std::vector<uint32_t> scaled(static_cast<size_t>(square) * square);
    ScaleToCover(image, square, square, scaled.data());
    if (!WritePngAtomically(png, scaled.data(), square, square, error)) return Fail(error);
    return 0;
}

// "--square N" before a view's files: N, or 0 when `text` is no size from 1 to MaxSquare.
int SquareSize(const std::string& text) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    const int size = std::stoi(text);
    return size <= MaxSquare ? size : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage("");
    const std::string& command = args[0];
    if (command == "generate") return args.size() == 2 ? Generate(args[1]) : Usage("generate takes one folder");
    if (command == "view") {
        if (args.size() == 3) return View(args[1], args[2], 0);
        if (args.size() != 5 || args[1] != "--square") return Usage("view takes a picture file and a PNG name");
        const int square = SquareSize(args[2]);
        return square ? View(args[3], args[4], square) : Usage("--square takes a size from 1 to 1024");
    }
    if (command == "convert") {
        if (args.size() < 3) return Usage("convert takes one or more images and a folder");
        const std::vector<std::string> images(args.begin() + 1, args.end() - 1);
        if (images.size() > ImageCount)
            return Usage("convert takes at most 23 images, " + std::to_string(images.size()) + " given");
        return Convert(images, args.back());
    }
    return Usage("unknown command " + command);
}
