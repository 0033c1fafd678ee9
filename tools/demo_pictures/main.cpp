// demo-pictures: makes the show's picture files: the default pictures, or
// pictures converted from ordinary image files; and shows a picture file as PNG.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "assets/image_bank.h"
#include "assets/picture_file.h"
#include "authoring/pictures/generator.h"
#include "command_line/command_line.h"
#include "import/image_file.h"
#include "import/resample.h"
#include "output/file_output.h"
#include "platform/regular_file.h"

namespace {

constexpr int MaxSquare = 1024;

CommandLine Line({"demo-pictures",
                  {"generate OUTDIR", "convert [--replace] IMAGE... OUTDIR", "view [--square N] PICTURE.raw OUT.png"},
                  "generate writes the 23 default pictures OUTDIR/01.raw ... OUTDIR/23.raw.\n"
                  "convert turns the first 23 images (PNG, JPEG, BMP, GIF, TGA, WebP) into OUTDIR/01.raw ..., "
                  "each upright, scaled to cover 320 x 240 and cropped to the middle.\n"
                  "view writes a picture file as a PNG image.",
                  {{"replace", nullptr,
                    "With convert: remove the numbered pictures OUTDIR holds after the new ones, which the show "
                    "would play on after them; only regular files or links named NN.raw, never anything else."},
                   {"square", "N",
                    "With view: write the picture's middle square, scaled to N x N pixels (N from 1 to 1024)."}}});

std::string PicturePath(const std::string& directory, int number) {
    char name[PictureFileNameSize];
    PictureFileName(name, number);
    return directory + "/" + name;
}

int Generate(const std::string& directory) {
    std::string error;
    if (!EnsureDirectory(directory, error)) return Line.Failed(error);
    const auto picture = std::make_unique<Picture>();
    for (int number = 1; number <= DefaultPictureCount; ++number) {
        GeneratePicture(number, *picture);
        if (!WritePictureFile(PicturePath(directory, number), *picture, error)) return Line.Failed(error);
    }
    return 0;
}

// The numbered pictures after the first `count` that `directory` holds from
// before: regular files and links, never anything else of those names.
std::vector<std::string> OlderPictures(const std::string& directory, size_t count) {
    std::vector<std::string> older;
    for (int number = static_cast<int>(count) + 1; number <= ImageCount; ++number) {
        struct stat status {};
        const std::string path = PicturePath(directory, number);
        if (lstat(path.c_str(), &status) == 0 && (S_ISREG(status.st_mode) || S_ISLNK(status.st_mode)))
            older.push_back(path);
    }
    return older;
}

// Every image is read and scaled, and every new file written under a
// temporary name, before the first one is put in place: a bad image or a full
// disk leaves the folder as it was. The pictures of an earlier conversion
// numbered after the new ones would play on after them: named, or with
// `replace` removed.
int Convert(const std::vector<std::string>& images, const std::string& directory, bool replace) {
    std::vector<Picture> pictures(images.size());
    std::string error;
    for (size_t i = 0; i < images.size(); ++i) {
        RgbImage image;
        if (!LoadImageFile(images[i], image, error)) return Line.Failed(error);
        ScaleToCover(image, pictures[i]);
    }
    if (!EnsureDirectory(directory, error)) return Line.Failed(error);
    OutputFiles files;
    for (size_t i = 0; i < pictures.size(); ++i)
        if (!files.WritePicture(PicturePath(directory, static_cast<int>(i) + 1), pictures[i], error)) return Line.Failed(error);
    if (!files.Commit(error)) return Line.Failed(error);
    const std::vector<std::string> older = OlderPictures(directory, pictures.size());
    if (older.empty()) return 0;
    std::string names;
    for (const std::string& path : older) {
        if (replace && unlink(path.c_str()) != 0) return Line.Failed("cannot remove " + path + ": " + std::strerror(errno));
        names += (names.empty() ? "" : ", ") + path.substr(path.rfind('/') + 1);
    }
    if (!replace)
        std::fprintf(stderr, "demo-pictures: %s still holds %s from before, which the show plays after the new "
                     "pictures; --replace removes them\n", directory.c_str(), names.c_str());
    return 0;
}

// `square` 0 writes the picture as it is. The size is known before anything
// is read: only a regular file of exactly one picture is read at all.
int View(const std::string& path, const std::string& png, int square) {
    if (SameFile(path.c_str(), png.c_str())) return Line.Failed("the PNG " + png + " would replace the picture file " + path);
    uint64_t size = 0;
    const char* problem = nullptr;
    std::FILE* file = OpenRegularFile(path.c_str(), size, problem);
    if (!file) return Line.Failed("cannot read " + path + ": " + problem);
    std::vector<uint8_t> bytes(PictureBytes);
    const bool read = size == PictureBytes && std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::fclose(file);
    if (size != PictureBytes)
        return Line.Failed(path + " is " + std::to_string(size) + " bytes long; a picture file is exactly " +
                    std::to_string(PictureBytes));
    if (!read) return Line.Failed("cannot read " + path + ": the file is cut short");
    std::string error;
    const auto picture = std::make_unique<Picture>();
    DecodePictureFile(bytes.data(), bytes.size(), *picture);
    std::vector<uint32_t> pixels(PicturePixels);
    for (int i = 0; i < PicturePixels; ++i) pixels[i] = picture->Pixels[i] & 0xFFFFFF;  // the spare byte is not shown
    if (square == 0) {
        if (!WritePngAtomically(png, pixels.data(), PictureWidth, PictureHeight, error)) return Line.Failed(error);
        return 0;
    }
    RgbImage image{PictureWidth, PictureHeight, std::vector<uint8_t>(PicturePixels * 3)};
    for (int i = 0; i < PicturePixels; ++i)
        for (int c = 0; c < 3; ++c) image.rgb[3 * i + c] = static_cast<uint8_t>(pixels[i] >> (16 - 8 * c));
    std::vector<uint32_t> scaled(static_cast<size_t>(square) * square);
    ScaleToCover(image, square, square, scaled.data());
    if (!WritePngAtomically(png, scaled.data(), square, square, error)) return Line.Failed(error);
    return 0;
}

// "--square N": N, or 0 when `text` is no size from 1 to MaxSquare.
int SquareSize(const std::string& text) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    const int size = std::stoi(text);
    return size <= MaxSquare ? size : 0;
}

}  // namespace

int main(int argc, char** argv) try {
    bool replace = false;
    int square = 0;
    const auto finished = Line.Parse(argc, argv, [&](const std::string& name, const std::string& value) {
        if (name == "replace") replace = true;
        if (name == "square") square = SquareSize(value);
        return name == "square" && !square ? "--square takes a size from 1 to 1024" : std::string();
    });
    if (finished) return *finished;
    const std::vector<std::string>& args = Line.Operands();
    if (args.empty()) return Line.Misused("");
    const std::string& command = args[0];
    if (command != "convert" && replace) return Line.Misused("--replace goes with convert");
    if (command != "view" && square) return Line.Misused("--square goes with view");
    if (command == "generate") return args.size() == 2 ? Generate(args[1]) : Line.Misused("generate takes one folder");
    if (command == "view")
        return args.size() == 3 ? View(args[1], args[2], square) : Line.Misused("view takes a picture file and a PNG name");
    if (command == "convert") {
        if (args.size() < 3) return Line.Misused("convert takes one or more images and a folder");
        std::vector<std::string> images(args.begin() + 1, args.end() - 1);
        if (images.size() > ImageCount) {
            // The show has 23 pictures; a whole folder of photos gives its first 23.
            std::fprintf(stderr, "demo-pictures: the show has %d pictures: converting the first %d images, leaving out %zu\n",
                         ImageCount, ImageCount, images.size() - ImageCount);
            images.resize(ImageCount);
        }
        return Convert(images, args.back(), replace);
    }
    return Line.Misused("unknown command " + command);
} catch (const std::bad_alloc&) {
    return OutOfMemory("demo-pictures");
}
