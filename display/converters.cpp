#include "display/converters.h"

#include <bit>
#include <cstring>

// Surface words are little-endian, and so are this machine's stores.
static_assert(std::endian::native == std::endian::little);

PixelConverter Converter;

namespace {

struct ConverterFormat {
    DWORD bitCount, redMask, greenMask, blueMask;
    PixelConverter converter;
};

const ConverterFormat ConverterFormats[] = {
    {32, 0x00FF0000, 0x0000FF00, 0x000000FF, ConvertCopy32},
    {32, 0x000000FF, 0x0000FF00, 0x00FF0000, ConvertSwap32},
    {24, 0x00FF0000, 0x0000FF00, 0x000000FF, ConvertPack24},
    {24, 0x000000FF, 0x0000FF00, 0x00FF0000, ConvertPack24Swap},
    {16, 0xF800, 0x07E0, 0x001F, ConvertRGB565},
    {16, 0x001F, 0x07E0, 0xF800, ConvertBGR565},
    {16, 0x7C00, 0x03E0, 0x001F, ConvertRGB555},
    {16, 0x001F, 0x03E0, 0x7C00, ConvertBGR555},
};

// Reductions to 5 or 6 bits keep the top bits of each channel.
uint32_t PackRGB565(uint32_t w) { return ((w >> 8) & 0xF800) | ((w >> 5) & 0x07E0) | ((w >> 3) & 0x001F); }
uint32_t PackBGR565(uint32_t w) { return ((w >> 19) & 0x001F) | ((w >> 5) & 0x07E0) | ((w & 0xF8) << 8); }
uint32_t PackRGB555(uint32_t w) { return ((w >> 9) & 0x7C00) | ((w >> 6) & 0x03E0) | ((w >> 3) & 0x001F); }
uint32_t PackBGR555(uint32_t w) { return ((w >> 19) & 0x001F) | ((w >> 6) & 0x03E0) | ((w & 0xF8) << 7); }

// Surface rows need not be aligned for 16-bit stores.
template <uint32_t (*Pack)(uint32_t)>
void ConvertTo16(const uint32_t* source, uint8_t* destination, int count) {
    for (int i = 0; i < count; ++i) {
        const uint16_t word = static_cast<uint16_t>(Pack(source[i]));
        std::memcpy(destination + 2 * i, &word, 2);
    }
}

}  // namespace

PixelConverter SelectConverter(DWORD bitCount, DWORD redMask, DWORD greenMask, DWORD blueMask) {
    for (const ConverterFormat& format : ConverterFormats)
        if (format.bitCount == bitCount && format.redMask == redMask && format.greenMask == greenMask &&
            format.blueMask == blueMask)
            return format.converter;
    return nullptr;
}

void ConvertCopy32(const uint32_t* source, uint8_t* destination, int count) {
    if (count > 0) std::memcpy(destination, source, static_cast<size_t>(count) * 4);
}

void ConvertSwap32(const uint32_t* source, uint8_t* destination, int count) {
    for (int i = 0; i < count; ++i) {
        const uint32_t w = source[i];
        const uint32_t word = ((w >> 16) & 0xFF) | (w & 0xFF00) | ((w & 0xFF) << 16);
        std::memcpy(destination + 4 * i, &word, 4);
    }
}

void ConvertPack24(const uint32_t* source, uint8_t* destination, int count) {
    for (int i = 0; i < count; ++i) {
        destination[3 * i] = static_cast<uint8_t>(source[i]);
        destination[3 * i + 1] = static_cast<uint8_t>(source[i] >> 8);
        destination[3 * i + 2] = static_cast<uint8_t>(source[i] >> 16);
    }
}

void ConvertPack24Swap(const uint32_t* source, uint8_t* destination, int count) {
    for (int i = 0; i < count; ++i) {
        destination[3 * i] = static_cast<uint8_t>(source[i] >> 16);
        destination[3 * i + 1] = static_cast<uint8_t>(source[i] >> 8);
        destination[3 * i + 2] = static_cast<uint8_t>(source[i]);
    }
}

void ConvertRGB565(const uint32_t* source, uint8_t* destination, int count) {
    ConvertTo16<PackRGB565>(source, destination, count);
}
void ConvertBGR565(const uint32_t* source, uint8_t* destination, int count) {
    ConvertTo16<PackBGR565>(source, destination, count);
}
void ConvertRGB555(const uint32_t* source, uint8_t* destination, int count) {
    ConvertTo16<PackRGB555>(source, destination, count);
}
void ConvertBGR555(const uint32_t* source, uint8_t* destination, int count) {
    ConvertTo16<PackBGR555>(source, destination, count);
}
