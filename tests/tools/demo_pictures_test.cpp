#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/png_picture.h"
#include "tests/tools/default_pictures.h"

namespace {

const std::string Tool = DEMO_PICTURES_PATH;

// The 0xRRGGBB colour of pixel (x, y) of a picture file.
uint32_t PixelOf(const std::string& bytes, int x, int y) {
    const size_t at = (static_cast<size_t>(y) * PictureWidth + x) * 4;
    return static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint8_t>(bytes[at + 1]) << 8 |
           static_cast<uint8_t>(bytes[at]);
}

bool SpareBytesZero(const std::string& bytes) {
    for (size_t i = 3; i < bytes.size(); i += 4)
        if (bytes[i] != 0) return false;
    return true;
}

double ChannelDistance(uint32_t a, uint32_t b) {
    double sum = 0;
    for (int shift = 0; shift < 24; shift += 8)
        sum += std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF));
    return sum / 3;
}

// A PNG file's 0xRRGGBB pixels, row by row; empty if it cannot be read.
// Saves a test image of one colour; `alpha` below 255 makes it translucent.
void SaveImage(const std::string& path, int width, int height, uint32_t rgb, uint8_t alpha = 255) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(surface, nullptr);
    SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF, alpha));
    const std::string extension = path.substr(path.rfind('.') + 1);
    int result = -1;
    if (extension == "png") result = IMG_SavePNG(surface, path.c_str());
    if (extension == "jpg") result = IMG_SaveJPG(surface, path.c_str(), 95);
    if (extension == "bmp") result = SDL_SaveBMP(surface, path.c_str());
    SDL_FreeSurface(surface);
    ASSERT_EQ(result, 0) << path << ": " << SDL_GetError();
}

// The tool drew the default content of this run (the DefaultContent test);
// drawn again in this process, the last first and the first after it, the
// pictures come out the same: nothing carries over from one to the next.
TEST(DemoPictures, GenerateWritesThePicturesThisProcessDraws) {
    const auto picture = std::make_unique<Picture>();
    for (const int number : {DefaultPictureCount, 1}) {
        GeneratePicture(number, *picture);
        EXPECT_TRUE(SamePicture(PictureFileBytes(*picture), DefaultContentBytes(PictureFileName(number))))
            << DefaultPictureName(number);
    }
}

TEST(DemoPictures, ConvertTurnsImagesIntoNumberedPictures) {
    ScratchDirectory scratch;
    SaveImage(scratch.Path("red.png"), 640, 480, 0xE01010);
    SaveImage(scratch.Path("blue.bmp"), 100, 50, 0x1020F0);
    SaveImage(scratch.Path("green.jpg"), 320, 240, 0x20C040);
    SaveImage(scratch.Path("clear.png"), 50, 50, 0xFFFFFF, 0);  // fully transparent: black
    ASSERT_EQ(scratch.Run(Tool + " convert red.png blue.bmp green.jpg clear.png out"), 0) << scratch.Errors();
    EXPECT_EQ(scratch.List("out"), (std::vector<std::string>{"01.raw", "02.raw", "03.raw", "04.raw"}));
    const uint32_t expected[] = {0xE01010, 0x1020F0, 0x20C040, 0x000000};
    for (int number = 1; number <= 4; ++number) {
        const std::string bytes = scratch.Read("out/0" + std::to_string(number) + ".raw");
        ASSERT_EQ(bytes.size(), static_cast<size_t>(PictureBytes)) << number;
        EXPECT_TRUE(SpareBytesZero(bytes)) << number;
        for (const auto& [x, y] : {std::pair{0, 0}, {160, 120}, {319, 239}})
            EXPECT_LE(ChannelDistance(PixelOf(bytes, x, y), expected[number - 1]), 3) << number;
    }
}

TEST(DemoPictures, ConvertRefusesBadImagesAndLeavesTheFolderAsItWas) {
    ScratchDirectory scratch;
    SaveImage(scratch.Path("good.png"), 64, 48, 0x808080);
    scratch.Write("corrupt.png", "\x89PNG\r\n\x1a\n this is no image at all");
    scratch.Write("empty.jpg", "");
    ASSERT_EQ(mkdir(scratch.Path("folder.png").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(scratch.Path("out").c_str(), 0755), 0);
    scratch.Write("out/01.raw", "an earlier picture");
    for (const std::string bad : {"corrupt.png", "empty.jpg", "missing.bmp", "folder.png"}) {
        EXPECT_EQ(scratch.Run(Tool + " convert good.png " + bad + " out"), 1) << bad;
        EXPECT_NE(scratch.Errors().find("demo-pictures: cannot read " + bad), std::string::npos) << scratch.Errors();
        EXPECT_EQ(scratch.List("out"), std::vector<std::string>{"01.raw"}) << bad;
        EXPECT_EQ(scratch.Read("out/01.raw"), "an earlier picture") << bad;
    }
    EXPECT_EQ(scratch.Run(Tool + " convert corrupt.png new"), 1);
    EXPECT_TRUE(scratch.List("new").empty());
}

// Files that used to hang the tool, fill the memory, or pass as good images:
// each is named and refused at once, and nothing is written.
TEST(DemoPictures, HostileFilesAreNamedAndRefused) {
    ScratchDirectory scratch;
    SaveImage(scratch.Path("photo.jpg"), 640, 480, 0x406080);
    const std::string photo = scratch.Read("photo.jpg");
    scratch.Write("cut.jpg", photo.substr(0, photo.size() * 2 / 3));
    // A TGA image of 4 x 4 pixels at 24 bits with only 20 of its 48 pixel bytes.
    scratch.Write("cut.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\4\0\4\0\x18\x20", 18) + std::string(20, '\x7f'));
    // A PNG whose header declares 65535 x 65535 pixels, with hardly any data.
    std::string wide("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\xff\xff\0\0\xff\xff\x08\x02\0\0\0\0\0\0\0", 33);
    scratch.Write("wide.png", wide + std::string("\0\0\0\0IDAT\0\0\0\0\0\0\0\0IEND\0\0\0\0", 24));
    // A WebP canvas of 16384 x 16384 pixels, declared with nothing behind it;
    // a WebP file longer by its header than it is.
    scratch.Write("wide.webp", std::string("RIFF\x16\0\0\0WEBPVP8X\x0a\0\0\0\0\0\0\0\xff\x3f\0\xff\x3f\0", 30));
    scratch.Write("cut.webp", std::string("RIFF\xe8\3\0\0WEBPVP8L\x0a\0\0\0\x2f", 21));
    scratch.Write("huge.bmp", "BM");
    std::filesystem::resize_file(scratch.Path("huge.bmp"), (260 << 20) + 1);  // sparse: no disk used
    scratch.Write("big.raw", "");
    std::filesystem::resize_file(scratch.Path("big.raw"), uintmax_t{3} << 30);
    scratch.Write("same.raw", std::string(PictureBytes, '\x11'));
    ASSERT_EQ(mkfifo(scratch.Path("pipe.png").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(scratch.Path("pipe.raw").c_str(), 0644), 0);
    // Found by fuzzing. LZW codes naming table entries not yet defined crashed
    // SDL's GIF decoder; a frame of no rows failed there without a reason.
    for (const char* seed : {"lzw-loop.gif", "empty-image.gif"}) {
        std::ifstream file(std::string(FUZZ_SEEDS "/image_decode/") + seed, std::ios::binary);
        scratch.Write(seed, std::string(std::istreambuf_iterator<char>(file), {}));
    }
    const std::vector<std::string> before = scratch.List();

    const std::pair<const char*, const char*> cases[] = {
        {"convert cut.jpg out", "cannot read cut.jpg: the file is cut short"},
        {"convert cut.tga out", "cannot read cut.tga: the file is cut short"},
        {"convert wide.png out", "wide.png: 65535 x 65535 pixels; images above 67108864 pixels are not converted"},
        {"convert wide.webp out", "wide.webp: 16384 x 16384 pixels; images above 67108864 pixels are not converted"},
        {"convert cut.webp out", "cannot read cut.webp: the file is cut short"},
        {"convert huge.bmp out", "huge.bmp: 272629761 bytes; image files above 272629760 bytes are not read"},
        {"convert lzw-loop.gif out", "cannot read lzw-loop.gif: the file is corrupt"},
        {"convert empty-image.gif out", "cannot read empty-image.gif: the file is corrupt"},
        {"convert pipe.png out", "cannot read pipe.png: not a regular file"},
        {"view pipe.raw a.png", "cannot read pipe.raw: not a regular file"},
        {"view /dev/zero a.png", "cannot read /dev/zero: not a regular file"},
        {"view big.raw a.png", "big.raw is 3221225472 bytes long"},
        {"view same.raw same.raw", "the PNG same.raw would replace the picture file same.raw"},
        {"view same.raw ./same.raw", "would replace the picture file"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(scratch.Run("timeout 20 " + Tool + " " + args), 1) << args;
        EXPECT_NE(scratch.Errors().find(message), std::string::npos) << args << ": " << scratch.Errors();
        EXPECT_EQ(scratch.List(), before) << args;
    }
    EXPECT_TRUE(scratch.Read("same.raw") == std::string(PictureBytes, '\x11'));
}

// A folder where the seventh picture should go stands for any failure part-way.
TEST(DemoPictures, ConvertReplacesNoFileUnlessItCanWriteThemAll) {
    ScratchDirectory scratch;
    SaveImage(scratch.Path("a.png"), 8, 8, 0x102030);
    ASSERT_EQ(mkdir(scratch.Path("out").c_str(), 0755), 0);
    for (int number = 1; number <= 6; ++number) scratch.Write("out/0" + std::to_string(number) + ".raw", "old");
    ASSERT_EQ(mkdir(scratch.Path("out/07.raw").c_str(), 0755), 0);
    EXPECT_EQ(scratch.Run(Tool + " convert a.png a.png a.png a.png a.png a.png a.png a.png out"), 1);
    EXPECT_NE(scratch.Errors().find("cannot write out/07.raw"), std::string::npos) << scratch.Errors();
    EXPECT_EQ(scratch.List("out"), (std::vector<std::string>{"01.raw", "02.raw", "03.raw", "04.raw", "05.raw",
                                                             "06.raw", "07.raw"}));
    for (int number = 1; number <= 6; ++number) EXPECT_EQ(scratch.Read("out/0" + std::to_string(number) + ".raw"), "old");
}

// A folder of photos gives its first 23 in the order given; the rest are not
// even read.
TEST(DemoPictures, ConvertTakesTheFirst23AndSaysHowManyItLeftOut) {
    ScratchDirectory scratch;
    SaveImage(scratch.Path("a.png"), 8, 8, 0x102030);
    SaveImage(scratch.Path("b.png"), 8, 8, 0xF0E0D0);
    std::string images = " b.png";
    for (int i = 1; i < 23; ++i) images += " a.png";
    EXPECT_EQ(scratch.Run(Tool + " convert" + images + " b.png missing.png out"), 0) << scratch.Errors();
    EXPECT_EQ(scratch.Errors(), "demo-pictures: the show has 23 pictures: converting the first 23 images, leaving out 2\n");
    EXPECT_EQ(scratch.List("out").size(), 23u);
    EXPECT_EQ(PixelOf(scratch.Read("out/01.raw"), 0, 0), 0xF0E0D0u);
    EXPECT_EQ(PixelOf(scratch.Read("out/23.raw"), 0, 0), 0x102030u);
}

// Fewer pictures than before: the older ones after them are named, and with
// --replace removed; nothing else in the folder is touched.
TEST(DemoPictures, ConvertNamesOrReplacesOlderPicturesAfterTheNewOnes) {
    ScratchDirectory scratch;
    SaveImage(scratch.Path("a.png"), 8, 8, 0x102030);
    ASSERT_EQ(scratch.Run(Tool + " convert a.png a.png a.png a.png a.png out"), 0) << scratch.Errors();
    ASSERT_EQ(mkdir(scratch.Path("out/08.raw").c_str(), 0755), 0);
    scratch.Write("out/kimo.xm", "music");
    scratch.Write("out/24.raw", "not ours");
    ASSERT_EQ(symlink("elsewhere", scratch.Path("out/06.raw").c_str()), 0);
    const std::vector<std::string> all = {"01.raw", "02.raw", "03.raw", "04.raw", "05.raw", "06.raw",
                                          "08.raw", "24.raw", "kimo.xm"};
    EXPECT_EQ(scratch.Run(Tool + " convert a.png a.png a.png out"), 0) << scratch.Errors();
    EXPECT_EQ(scratch.Errors(), "demo-pictures: out still holds 04.raw, 05.raw, 06.raw from before, which the show "
                                "plays after the new pictures; --replace removes them\n");
    EXPECT_EQ(scratch.List("out"), all);
    EXPECT_EQ(scratch.Run(Tool + " convert --replace a.png a.png a.png out"), 0) << scratch.Errors();
    EXPECT_EQ(scratch.Errors(), "");
    EXPECT_EQ(scratch.List("out"), (std::vector<std::string>{"01.raw", "02.raw", "03.raw", "08.raw", "24.raw", "kimo.xm"}));
    EXPECT_EQ(scratch.Read("out/kimo.xm"), "music");
}

// EXIF data saying `orientation`: a big-endian TIFF header and one entry.
std::string ExifOrientation(int orientation) {
    const char tiff[] = {'M', 'M', 0, 42, 0, 0, 0, 8,                          // TIFF header, big-endian
                         0, 1, 1, 0x12, 0, 3, 0, 0, 0, 1,                      // one entry: orientation, a short
                         0, static_cast<char>(orientation), 0, 0, 0, 0, 0, 0};  // its value; no further IFD
    return std::string(tiff, sizeof tiff);
}

// A JPEG file with an APP1 block holding the EXIF orientation `orientation`
// put in front of its other segments.
std::string WithOrientation(const std::string& jpeg, int orientation) {
    const std::string tiff = ExifOrientation(orientation);
    return jpeg.substr(0, 2) + "\xFF\xE1" + static_cast<char>(0) + static_cast<char>(2 + 6 + tiff.size()) +
           std::string("Exif\0\0", 6) + tiff + jpeg.substr(2);
}

std::string Big32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

// A PNG file with an eXIf chunk holding the orientation `orientation` right
// after its header chunk.
std::string PngWithOrientation(const std::string& png, int orientation) {
    const std::string chunk = "eXIf" + ExifOrientation(orientation);
    uint32_t crc = 0xFFFFFFFF;
    for (const char byte : chunk) {
        crc ^= static_cast<uint8_t>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    constexpr size_t AfterHeader = 8 + 25;
    return png.substr(0, AfterHeader) + Big32(chunk.size() - 4) + chunk + Big32(~crc) + png.substr(AfterHeader);
}

// A landscape photo stored in each of the eight EXIF orientations (turned or
// mirrored the other way by ImageMagick, then tagged) converts to the photo
// as it was, as a JPEG and, exactly, as a PNG; a WebP of it too, a lossless
// one to exactly the PNG's picture.
TEST(DemoPictures, ConvertTurnsPhotosUprightAndReadsWebp) {
    if (access("/usr/bin/convert", X_OK) != 0) GTEST_SKIP() << "ImageMagick's convert is missing";
    ScratchDirectory scratch;
    // Four corners of four colours: any turn or mirror shows.
    ASSERT_EQ(scratch.Run("/usr/bin/convert -size 300x200 xc: -sparse-color bilinear "
                          "'0,0 red 299,0 yellow 0,199 blue 299,199 white' -depth 8 photo.png"), 0) << scratch.Errors();
    ASSERT_EQ(scratch.Run("/usr/bin/convert photo.png -define webp:lossless=true lossless.webp && "
                          "/usr/bin/convert photo.png -quality 95 lossy.webp"), 0) << scratch.Errors();
    // Orientation n is shown after turning or mirroring the stored image by
    // ImageMagick's own orientation `stored[n]`, its inverse.
    const char* stored[] = {"TopLeft", "TopRight", "BottomRight", "BottomLeft", "LeftTop", "LeftBottom",
                            "RightBottom", "RightTop"};
    std::string images = " photo.png lossless.webp lossy.webp", pngs;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const std::string name = "stored" + std::to_string(orientation);
        ASSERT_EQ(scratch.Run("/usr/bin/convert photo.png -orient " + std::string(stored[orientation - 1]) +
                              " -auto-orient -strip " + name + ".png && /usr/bin/convert " + name +
                              ".png -quality 98 -sampling-factor 1x1 " + name + ".jpg"), 0) << scratch.Errors();
        scratch.Write(name + ".jpg", WithOrientation(scratch.Read(name + ".jpg"), orientation));
        scratch.Write(name + ".png", PngWithOrientation(scratch.Read(name + ".png"), orientation));
        images += " " + name + ".jpg";
        pngs += " " + name + ".png";
    }
    ASSERT_EQ(scratch.Run(Tool + " convert" + images + pngs + " out"), 0) << scratch.Errors();
    const auto picture = [&scratch](int number) {
        return scratch.Read("out/" + std::string(number < 10 ? "0" : "") + std::to_string(number) + ".raw");
    };
    const std::string upright = picture(1);
    EXPECT_TRUE(picture(2) == upright) << "lossless WebP";
    for (int number = 3; number <= 11; ++number) {
        const std::string bytes = picture(number);
        double difference = 0;
        for (int y = 0; y < PictureHeight; ++y)
            for (int x = 0; x < PictureWidth; ++x) difference += ChannelDistance(PixelOf(bytes, x, y), PixelOf(upright, x, y));
        EXPECT_LT(difference / PicturePixels, 2.0) << (number == 3 ? "lossy WebP" : "JPEG orientation ") << number - 3;
    }
    for (int number = 12; number <= 19; ++number) EXPECT_TRUE(picture(number) == upright) << "PNG orientation " << number - 11;
}

// Under a memory limit a 64-megapixel photo that must be turned, and an image
// file of 250 MB, end the run in one line saying so, with nothing written.
TEST(DemoPictures, RunningOutOfMemoryEndsInOneLine) {
#ifdef DEMO_SANITIZED
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
#endif
    ScratchDirectory scratch;
    SaveImage(scratch.Path("big.jpg"), 8192, 8192, 0x406080);
    scratch.Write("big.jpg", WithOrientation(scratch.Read("big.jpg"), 6));
    scratch.Write("long.bmp", "BM");
    std::filesystem::resize_file(scratch.Path("long.bmp"), 250 << 20);
    ASSERT_EQ(mkdir(scratch.Path("out").c_str(), 0755), 0);
    scratch.Write("out/01.raw", "an earlier picture");
    const std::vector<std::string> before = scratch.List(), beforeOut = scratch.List("out");
    for (const auto& [image, limit] : {std::pair{"big.jpg", "600000"}, {"long.bmp", "200000"}}) {
        EXPECT_EQ(scratch.Run(std::string("ulimit -v ") + limit + " && " + Tool + " convert " + image + " out"), 1);
        EXPECT_EQ(scratch.Errors(), "demo-pictures: out of memory\n") << image;
        EXPECT_EQ(scratch.List(), before) << image;
        EXPECT_EQ(scratch.List("out"), beforeOut) << image;
    }
}

TEST(DemoPictures, BadCommandLinesGiveUsageAndExitCode2) {
    ScratchDirectory scratch;
    for (const char* args : {"", "draw out", "generate", "generate a b", "convert out", "view only.raw", "view a b c",
                             "view --square 0 a b", "view --square 1025 a b", "view --square 9x a b", "view --size 9 a b"}) {
        EXPECT_EQ(scratch.Run(Tool + " " + args), 2) << args;
        EXPECT_NE(scratch.Errors().find("usage: demo-pictures"), std::string::npos) << args;
    }
    EXPECT_TRUE(scratch.List().empty());
}

TEST(DemoPictures, ViewWritesThePictureAsPng) {
    ScratchDirectory scratch;
    std::string bytes(PictureBytes, '\0');
    for (int i = 0; i < PicturePixels; ++i) {
        bytes[4 * i] = static_cast<char>(i % 251);      // blue
        bytes[4 * i + 1] = static_cast<char>(i / 320);  // green
        bytes[4 * i + 2] = static_cast<char>(i % 320);  // red
        bytes[4 * i + 3] = static_cast<char>(0x5A);     // spare: never shown
    }
    scratch.Write("in.raw", bytes);
    ASSERT_EQ(scratch.Run(Tool + " view in.raw out.png"), 0) << scratch.Errors();
    const PngPixels png = ReadPng(scratch.Path("out.png"));
    ASSERT_EQ(png.width, PictureWidth);
    ASSERT_EQ(png.height, PictureHeight);
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) ASSERT_EQ(png.rgb[y * PictureWidth + x], PixelOf(bytes, x, y)) << x << "," << y;
}

// An icon's square: the middle 240 x 240 (top half one colour, bottom half
// another), shrunk to 120 x 120, with none of the white sides let in.
TEST(DemoPictures, ViewWithSquareWritesTheMiddleSquareScaled) {
    ScratchDirectory scratch;
    std::string bytes(PictureBytes, '\xFF');
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 40; x < 280; ++x) {
            const uint32_t rgb = y < 120 ? 0x3060C0 : 0xC03010;
            for (int b = 0; b < 3; ++b) bytes[(y * PictureWidth + x) * 4 + b] = static_cast<char>(rgb >> (8 * b));
        }
    scratch.Write("in.raw", bytes);
    ASSERT_EQ(scratch.Run(Tool + " view --square 120 in.raw out.png"), 0) << scratch.Errors();
    const PngPixels png = ReadPng(scratch.Path("out.png"));
    ASSERT_EQ(png.width, 120);
    ASSERT_EQ(png.height, 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_LE(ChannelDistance(png.rgb[y * 120 + x], y < 60 ? 0x3060C0 : 0xC03010), 1) << x << "," << y;
}

TEST(DemoPictures, ViewReportsFilesOfTheWrongSize) {
    ScratchDirectory scratch;
    scratch.Write("short.raw", std::string(PictureBytes - 1, '\0'));
    scratch.Write("long.raw", std::string(PictureBytes + 1, '\0'));
    EXPECT_EQ(scratch.Run(Tool + " view short.raw a.png"), 1);
    EXPECT_NE(scratch.Errors().find("short.raw is 307199 bytes long"), std::string::npos) << scratch.Errors();
    EXPECT_EQ(scratch.Run(Tool + " view long.raw a.png"), 1);
    EXPECT_NE(scratch.Errors().find("long.raw is 307201 bytes long"), std::string::npos) << scratch.Errors();
    EXPECT_EQ(scratch.Run(Tool + " view missing.raw a.png"), 1);
    EXPECT_NE(scratch.Errors().find("cannot read missing.raw"), std::string::npos) << scratch.Errors();
    EXPECT_EQ(scratch.List(), (std::vector<std::string>{"long.raw", "short.raw"}));
}

TEST(DemoPictures, AnUnwritableFolderFailsWithExitCode1) {
    ScratchDirectory scratch;
    scratch.Write("file", "x");
    EXPECT_EQ(scratch.Run(Tool + " generate file/out"), 1);
    EXPECT_NE(scratch.Errors().find("demo-pictures: "), std::string::npos);
    // A folder in the way of a picture file: the rename fails, no temporary file stays.
    ASSERT_EQ(mkdir(scratch.Path("out").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(scratch.Path("out/05.raw").c_str(), 0755), 0);
    EXPECT_EQ(scratch.Run(Tool + " generate out"), 1);
    EXPECT_EQ(scratch.List("out"), (std::vector<std::string>{"01.raw", "02.raw", "03.raw", "04.raw", "05.raw"}));
}

// Photographs taken by others, from Debian's xplanet-images package: NASA's
// Earth by day and by night (large JPEGs, shrunk) and two spacecraft (small
// PNGs, enlarged). ImageMagick, scaling in linear light with the matching
// filter, is the independent reference.
TEST(DemoPictures, ConvertsRealPhotographsLikeAnIndependentScaler) {
    const std::string folder = "/usr/share/xplanet/images/";
    const std::vector<std::pair<std::string, const char*>> photos = {
        {"earth.jpg", "Box"}, {"night.jpg", "Box"}, {"iss.png", "Triangle"}, {"hubble.png", "Triangle"}};
    for (const auto& photo : photos)
        if (access((folder + photo.first).c_str(), R_OK) != 0)
            GTEST_SKIP() << "photographs missing: install xplanet-images (scripts/setup.sh --tests)";
    ScratchDirectory scratch;
    std::string inputs;
    for (const auto& photo : photos) inputs += " " + folder + photo.first;
    ASSERT_EQ(scratch.Run(Tool + " convert" + inputs + " out"), 0) << scratch.Errors();
    if (access("/usr/bin/convert", X_OK) != 0)
        GTEST_SKIP() << "ImageMagick's convert is missing (scripts/setup.sh --tests): nothing to compare with";
    for (size_t i = 0; i < photos.size(); ++i) {
        const std::string bytes = scratch.Read("out/0" + std::to_string(i + 1) + ".raw");
        ASSERT_EQ(bytes.size(), static_cast<size_t>(PictureBytes)) << photos[i].first;
        EXPECT_TRUE(SpareBytesZero(bytes));
        ASSERT_EQ(scratch.Run("/usr/bin/convert " + folder + photos[i].first + " -colorspace RGB -filter " +
                              photos[i].second + " -resize '320x240^' -gravity center -extent 320x240" +
                              " -colorspace sRGB -depth 8 rgb:reference.rgb"), 0) << scratch.Errors();
        const std::string reference = scratch.Read("reference.rgb");
        ASSERT_EQ(reference.size(), static_cast<size_t>(PicturePixels * 3));
        double difference = 0;
        for (int p = 0; p < PicturePixels; ++p) {
            const uint32_t theirs = static_cast<uint8_t>(reference[3 * p]) << 16 |
                                    static_cast<uint8_t>(reference[3 * p + 1]) << 8 |
                                    static_cast<uint8_t>(reference[3 * p + 2]);
            difference += ChannelDistance(PixelOf(bytes, p % PictureWidth, p / PictureWidth), theirs);
        }
        EXPECT_LT(difference / PicturePixels, 2.5) << photos[i].first;
    }
}

}  // namespace
