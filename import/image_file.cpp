#include "import/image_file.h"

#include <SDL.h>
#include <SDL_image.h>
#include <libexif/exif-data.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/regular_file.h"

namespace {

enum class Format { Png, Jpeg, Bmp, Gif, Tga, Webp, Unknown };

struct Size {
    uint64_t width = 0;
    uint64_t height = 0;
};

// Why a file is refused; null when its structure holds.
using Problem = const char*;
constexpr Problem CutShort = "the file is cut short";
constexpr Problem Broken = "the file is corrupt";

constexpr uint8_t ExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

uint32_t Big16(const uint8_t* p) { return uint32_t{p[0]} << 8 | p[1]; }
uint32_t Big32(const uint8_t* p) { return Big16(p) << 16 | Big16(p + 2); }
uint32_t Little16(const uint8_t* p) { return uint32_t{p[1]} << 8 | p[0]; }
uint32_t Little32(const uint8_t* p) { return Little16(p + 2) << 16 | Little16(p); }

Format FormatOf(const uint8_t* b, size_t n, const std::string& name) {
    if (n >= 8 && std::memcmp(b, "\x89PNG\r\n\x1a\n", 8) == 0) return Format::Png;
    if (n >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return Format::Jpeg;
    if (n >= 2 && b[0] == 'B' && b[1] == 'M') return Format::Bmp;
    if (n >= 6 && (std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0)) return Format::Gif;
    if (n >= 12 && std::memcmp(b, "RIFF", 4) == 0 && std::memcmp(b + 8, "WEBP", 4) == 0) return Format::Webp;
    std::string extension = name.size() >= 4 ? name.substr(name.size() - 4) : "";
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == ".tga" ? Format::Tga : Format::Unknown;
}

// Chunks from the signature on: the header first, the end chunk last. An
// EXIF chunk counts, as browsers take it, when it is the first, comes before
// the image data and starts with a byte order mark; `exif` is then its data
// after the header libexif looks for.
Problem CheckPng(const uint8_t* b, size_t n, Size& size, std::vector<uint8_t>& exif) {
    if (n < 33) return CutShort;
    if (Big32(b + 8) != 13 || std::memcmp(b + 12, "IHDR", 4) != 0) return Broken;
    size = {Big32(b + 16), Big32(b + 20)};
    bool data = false, exifSeen = false;
    for (size_t at = 8;;) {
        if (n - at < 12) return CutShort;
        const size_t length = Big32(b + at);
        if (length > 0x7FFFFFFF) return Broken;
        if (n - at - 12 < length) return CutShort;
        const uint8_t* type = b + at + 4;
        const bool end = std::memcmp(type, "IEND", 4) == 0;
        data = data || std::memcmp(type, "IDAT", 4) == 0;
        if (!data && !exifSeen && std::memcmp(type, "eXIf", 4) == 0) {
            exifSeen = true;
            if (length >= 8 && (std::memcmp(type + 4, "II", 2) == 0 || std::memcmp(type + 4, "MM", 2) == 0)) {
                exif.assign(ExifHeader, ExifHeader + sizeof ExifHeader);
                exif.insert(exif.end(), type + 4, type + 4 + length);
            }
        }
        at += 12 + length;
        if (end) return nullptr;
    }
}

// Marker segments from the start of image to its end; the frame header holds
// the size, and each scan's coded data runs up to the next true marker.
Problem CheckJpeg(const uint8_t* b, size_t n, Size& size) {
    bool frame = false;
    for (size_t at = 2;;) {
        if (at >= n) return CutShort;
        if (b[at] != 0xFF) return Broken;
        while (at < n && b[at] == 0xFF) ++at;  // fill bytes
        if (at >= n) return CutShort;
        const uint8_t code = b[at++];
        if (code == 0xD9) return frame ? nullptr : Broken;
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;  // no segment follows
        if (code == 0x00 || code == 0xD8) return Broken;
        if (n - at < 2) return CutShort;
        const size_t length = Big16(b + at);
        if (length < 2) return Broken;
        if (n - at < length) return CutShort;
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
            if (length < 8) return Broken;
            size = {Big16(b + at + 5), Big16(b + at + 3)};
            frame = true;
        }
        at += length;
        if (code != 0xDA) continue;
        if (!frame) return Broken;
        // In coded data 0xFF is followed by 0 (a stuffed byte), a restart marker or fill.
        for (;;) {
            const void* mark = at < n ? std::memchr(b + at, 0xFF, n - at) : nullptr;
            if (!mark) return CutShort;
            at = static_cast<size_t>(static_cast<const uint8_t*>(mark) - b);
            if (at + 1 >= n) return CutShort;
            const uint8_t next = b[at + 1];
            if (next == 0xFF) ++at;
            else if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) at += 2;
            else break;
        }
    }
}

// SDL's reader refuses a file whose pixel rows are cut short by itself.
Problem CheckBmp(const uint8_t* b, size_t n, Size& size) {
    if (n < 26) return CutShort;
    const uint32_t header = Little32(b + 14);
    if (header == 12) {
        size = {Little16(b + 18), Little16(b + 20)};
    } else if (header >= 16) {
        const auto magnitude = [](uint32_t field) { return static_cast<uint64_t>(std::abs(int64_t{static_cast<int32_t>(field)})); };
        size = {magnitude(Little32(b + 18)), magnitude(Little32(b + 22))};
    } else {
        return Broken;
    }
    return nullptr;
}

// The LZW codes of an image's data sub-blocks, from its minimum code size byte
// at `at`: each code must be a defined one or the next to be defined, the
// first after a clear a colour, and together they must give every pixel. On
// anything else SDL's decoder can chase a loop in its table past the end of
// its stack.
Problem CheckGifCodes(const uint8_t* b, size_t n, size_t at, uint64_t pixels) {
    constexpr unsigned TableSize = 4096;
    if (at >= n) return CutShort;
    const unsigned minimum = b[at++];
    if (minimum < 1 || minimum > 11) return Broken;
    const unsigned clear = 1u << minimum, end = clear + 1;
    unsigned size = minimum + 1, next = clear + 2, previous = TableSize;  // none yet
    uint16_t lengths[TableSize];  // of the strings the defined codes stand for
    const auto length = [&](unsigned code) -> uint64_t { return code < clear ? 1 : lengths[code]; };
    uint64_t done = 0;
    uint32_t bits = 0;
    unsigned held = 0;
    for (size_t blockEnd = at;;) {
        while (held < size) {
            if (at == blockEnd) {
                if (at >= n) return CutShort;
                blockEnd = at + 1 + b[at];
                if (blockEnd == at + 1) return done >= pixels ? nullptr : CutShort;  // no end code
                if (blockEnd > n) return CutShort;
                ++at;
            }
            bits |= uint32_t{b[at++]} << held;
            held += 8;
        }
        const unsigned code = bits & ((1u << size) - 1);
        bits >>= size;
        held -= size;
        if (code == clear) {
            size = minimum + 1;
            next = clear + 2;
            previous = TableSize;
            continue;
        }
        if (code == end) return done >= pixels ? nullptr : CutShort;
        if (previous == TableSize) {
            if (code >= clear) return Broken;
            done += 1;
        } else {
            if (code > next) return Broken;
            done += code == next ? length(previous) + 1 : length(code);
            if (next < TableSize) {
                lengths[next] = static_cast<uint16_t>(length(previous) + 1);
                if (++next == 1u << size && size < 12) ++size;
            }
        }
        previous = code;
    }
}

// Blocks up to the end of the first image's data, which is all that is shown;
// the larger of the screen and that image is the size.
Problem CheckGif(const uint8_t* b, size_t n, Size& size) {
    if (n < 13) return CutShort;
    size = {Little16(b + 6), Little16(b + 8)};
    size_t at = 13 + ((b[10] & 0x80) ? 3u << ((b[10] & 7) + 1) : 0);
    for (;;) {
        if (at >= n) return CutShort;
        const uint8_t kind = b[at++];
        if (kind == 0x2C) {
            if (n - at < 10) return CutShort;
            const uint64_t width = Little16(b + at + 4), height = Little16(b + at + 6);
            if (width * height > size.width * size.height) size = {width, height};
            const uint8_t flags = b[at + 8];
            at += 9 + ((flags & 0x80) ? 3u << ((flags & 7) + 1) : 0);
            if (const Problem problem = CheckGifCodes(b, n, at, width * height)) return problem;
            ++at;  // the code size byte
        } else if (kind == 0x21) {
            ++at;  // the extension's label
        } else {
            return Broken;
        }
        for (;;) {
            if (at >= n) return CutShort;
            const size_t length = b[at++];
            if (length == 0) break;
            at += length;
        }
        if (kind == 0x2C) return nullptr;
    }
}

// Colour-mapped, true-colour and grey images, plain or run-length coded.
Problem CheckTga(const uint8_t* b, size_t n, Size& size) {
    if (n < 18) return CutShort;
    size = {Little16(b + 12), Little16(b + 14)};
    const uint64_t pixelBytes = (b[16] + 7u) / 8;
    const uint64_t mapBytes = b[1] ? Little16(b + 5) * ((b[7] + 7u) / 8) : 0;
    uint64_t at = 18 + b[0] + mapBytes;
    const uint64_t pixels = size.width * size.height;
    const uint8_t type = b[2];
    if (pixelBytes == 0) return Broken;
    if (type >= 1 && type <= 3) return at + pixels * pixelBytes <= n ? nullptr : CutShort;
    if (type < 9 || type > 11) return Broken;
    for (uint64_t done = 0; done < pixels;) {  // each packet takes a byte at least
        if (at >= n) return CutShort;
        const uint8_t packet = b[at++];
        const uint64_t count = (packet & 0x7Fu) + 1;
        at += (packet & 0x80) ? pixelBytes : count * pixelBytes;
        done += count;
    }
    return at <= n ? nullptr : CutShort;
}

uint32_t Little24(const uint8_t* p) { return uint32_t{p[2]} << 16 | Little16(p); }

// The RIFF container's chunks, each within it; the first is the image's
// header: lossy ("VP8 "), lossless ("VP8L") or extended ("VP8X", which gives
// the canvas).
Problem CheckWebp(const uint8_t* b, size_t n, Size& size) {
    const uint64_t end = 8 + uint64_t{Little32(b + 4)};
    if (end < 20 || end % 2) return Broken;
    if (end > n) return CutShort;
    for (uint64_t at = 12; at < end;) {
        if (end - at < 8) return Broken;
        const uint64_t length = Little32(b + at + 4);
        if (end - at - 8 < length + length % 2) return Broken;
        at += 8 + length + length % 2;
    }
    const uint8_t* chunk = b + 20;
    const uint32_t length = Little32(b + 16);
    if (std::memcmp(b + 12, "VP8 ", 4) == 0) {
        if (length < 10 || chunk[3] != 0x9D || chunk[4] != 0x01 || chunk[5] != 0x2A) return Broken;
        size = {Little16(chunk + 6) & 0x3FFFu, Little16(chunk + 8) & 0x3FFFu};
    } else if (std::memcmp(b + 12, "VP8L", 4) == 0) {
        if (length < 5 || chunk[0] != 0x2F) return Broken;
        const uint32_t bits = Little32(chunk + 1);
        size = {(bits & 0x3FFFu) + 1, (bits >> 14 & 0x3FFFu) + 1};
    } else if (std::memcmp(b + 12, "VP8X", 4) == 0) {
        if (length < 10) return Broken;
        size = {Little24(chunk + 4) + uint64_t{1}, Little24(chunk + 7) + uint64_t{1}};
    } else {
        return Broken;
    }
    return nullptr;
}

// The orientation EXIF data gives, 1 (as stored) to 8; 1 without one.
// `bytes` are a whole JPEG file, or EXIF data from its header on.
int Orientation(const uint8_t* bytes, size_t size) {
    ExifData* exif = exif_data_new_from_data(bytes, static_cast<unsigned>(size));
    if (!exif) return 1;
    int orientation = 1;
    const ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components == 1 && entry->size >= 2)
        orientation = exif_get_short(entry->data, exif_data_get_byte_order(exif));
    exif_data_unref(exif);
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

// Turns and mirrors `image` as EXIF orientation `orientation` asks, so that
// it stands as it is meant to be seen: 6, for instance, turns it a quarter
// clockwise.
void ApplyOrientation(int orientation, RgbImage& image) {
    if (orientation == 1) return;
    const int w = image.width, h = image.height;
    const bool swapped = orientation >= 5;
    RgbImage turned{swapped ? h : w, swapped ? w : h, std::vector<uint8_t>(image.rgb.size())};
    for (int y = 0; y < turned.height; ++y) {
        for (int x = 0; x < turned.width; ++x) {
            int sx = x, sy = y;  // where this pixel is stored
            switch (orientation) {
            case 2: sx = w - 1 - x; break;
            case 3: sx = w - 1 - x; sy = h - 1 - y; break;
            case 4: sy = h - 1 - y; break;
            case 5: sx = y; sy = x; break;
            case 6: sx = y; sy = h - 1 - x; break;
            case 7: sx = w - 1 - y; sy = h - 1 - x; break;
            case 8: sx = w - 1 - y; sy = x; break;
            default: break;
            }
            std::memcpy(&turned.rgb[(static_cast<size_t>(y) * turned.width + x) * 3],
                        &image.rgb[(static_cast<size_t>(sy) * w + sx) * 3], 3);
        }
    }
    image = std::move(turned);
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

SDL_Surface* Decode(Format format, const uint8_t* bytes, size_t size) {
    SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (!source) return nullptr;
    SDL_Surface* surface = nullptr;
    switch (format) {
    case Format::Png: surface = IMG_LoadPNG_RW(source); break;
    case Format::Jpeg: surface = IMG_LoadJPG_RW(source); break;
    case Format::Bmp: surface = IMG_LoadBMP_RW(source); break;
    case Format::Gif: surface = IMG_LoadGIF_RW(source); break;
    case Format::Tga: surface = IMG_LoadTGA_RW(source); break;
    case Format::Webp: surface = IMG_LoadWEBP_RW(source); break;
    case Format::Unknown: break;
    }
    SDL_RWclose(source);
    return surface;
}

}  // namespace

bool DecodeImage(const uint8_t* bytes, size_t size, const std::string& name, RgbImage& image, std::string& error) {
    const Format format = FormatOf(bytes, size, name);
    Size dimensions;
    Problem problem = nullptr;
    std::vector<uint8_t> pngExif;
    switch (format) {
    case Format::Png: problem = CheckPng(bytes, size, dimensions, pngExif); break;
    case Format::Jpeg: problem = CheckJpeg(bytes, size, dimensions); break;
    case Format::Bmp: problem = CheckBmp(bytes, size, dimensions); break;
    case Format::Gif: problem = CheckGif(bytes, size, dimensions); break;
    case Format::Tga: problem = CheckTga(bytes, size, dimensions); break;
    case Format::Webp: problem = CheckWebp(bytes, size, dimensions); break;
    case Format::Unknown: problem = "not a PNG, JPEG, BMP, GIF, TGA or WebP image"; break;
    }
    if (!problem && (dimensions.width == 0 || dimensions.height == 0)) problem = Broken;
    if (problem) {
        error = problem;
        return false;
    }
    if (dimensions.width * dimensions.height > MaxImagePixels) {
        error = std::to_string(dimensions.width) + " x " + std::to_string(dimensions.height) +
                " pixels; images above " + std::to_string(MaxImagePixels) + " pixels are not converted";
        return false;
    }
    if (size > static_cast<size_t>(INT32_MAX)) {
        error = "the file is too large";
        return false;
    }

    Surface rgba;
    {
        SDL_ClearError();  // the reason given is this image's, never an earlier one's
        const Surface loaded(Decode(format, bytes, size));
        rgba.reset(loaded ? SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0) : nullptr);
    }
    if (!rgba) {
        error = *SDL_GetError() ? SDL_GetError() : Broken;
        return false;
    }
    image.width = rgba->w;
    image.height = rgba->h;
    image.rgb.assign(static_cast<size_t>(image.width) * image.height * 3, 0);
    for (int y = 0; y < image.height; ++y)
        LayOverBlack(static_cast<const uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch,
                     static_cast<size_t>(image.width), image.rgb.data() + static_cast<size_t>(y) * image.width * 3);
    if (format == Format::Jpeg) ApplyOrientation(Orientation(bytes, size), image);
    if (!pngExif.empty()) ApplyOrientation(Orientation(pngExif.data(), pngExif.size()), image);
    return true;
}

bool LoadImageFile(const std::string& path, RgbImage& image, std::string& error) {
    uint64_t size = 0;
    const char* problem = nullptr;
    std::FILE* file = OpenRegularFile(path.c_str(), size, problem);
    if (!file) {
        error = "cannot read " + path + ": " + problem;
        return false;
    }
    std::vector<uint8_t> bytes;
    bool read = false;
    if (size > MaxImageFileBytes) {
        error = "cannot read " + path + ": " + std::to_string(size) + " bytes; image files above " +
                std::to_string(MaxImageFileBytes) + " bytes are not read";
    } else {
        bytes.resize(size);
        read = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (!read) error = "cannot read " + path + ": " + (std::ferror(file) ? std::strerror(errno) : CutShort);
    }
    std::fclose(file);
    if (!read) return false;
    if (DecodeImage(bytes.data(), bytes.size(), path, image, error)) return true;
    error = "cannot read " + path + ": " + error;
    return false;
}
