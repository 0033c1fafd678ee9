#pragma once
// Row converters from the show's 0x00RRGGBB pixel words into the display
// surface's own pixel format, and their selection by bit count and masks.

#include <cstdint>

#include "platform/types.h"

// Reads `count` pixel words from `source` and writes `count` pixels of 4, 3 or
// 2 bytes to `destination`.
using PixelConverter = void (*)(const uint32_t* source, uint8_t* destination, int count);

// The converter chosen at display set-up; none until then.
extern PixelConverter Converter;

// The converter whose bit count and red, green and blue masks all equal the
// arguments, or none (nullptr). 15-bit modes report 16 bits with 5-5-5 masks.
PixelConverter SelectConverter(DWORD bitCount, DWORD redMask, DWORD greenMask, DWORD blueMask);

void ConvertCopy32(const uint32_t* source, uint8_t* destination, int count);      // 32: 0x00RRGGBB
void ConvertSwap32(const uint32_t* source, uint8_t* destination, int count);      // 32: 0x00BBGGRR
void ConvertPack24(const uint32_t* source, uint8_t* destination, int count);      // 24: bytes B, G, R
void ConvertPack24Swap(const uint32_t* source, uint8_t* destination, int count);  // 24: bytes R, G, B
void ConvertRGB565(const uint32_t* source, uint8_t* destination, int count);
void ConvertBGR565(const uint32_t* source, uint8_t* destination, int count);
void ConvertRGB555(const uint32_t* source, uint8_t* destination, int count);
void ConvertBGR555(const uint32_t* source, uint8_t* destination, int count);
