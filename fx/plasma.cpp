#include "fx/plasma.h"

#include <cmath>

#include "fx/fx_routines.h"

int32_t SineTable[SineTableSize];

void BuildSineTable() {
    constexpr float step = 0x1.6c16c2p-6f;  // nearest float to 1/45
    for (int i = 0; i < SineTableSize; ++i)
        SineTable[i] = static_cast<int32_t>((std::sin(i * static_cast<double>(step)) + 1.0) * 256.0);
}

void DrawPlasmaScalar(Picture& destination, uint32_t phase) {
    const int32_t* t = SineTable;
    const int k = static_cast<int>(phase % PlasmaPeriod);
    for (int y = BandTop; y < BandBottom; ++y) {
        uint32_t* row = destination.Pixels + y * PictureWidth;
        for (int x = 0; x < PictureWidth; ++x) {
            // Table values are 0..511, so no index here exceeds 1229.
            const int a = (t[k + x] >> 3) + y;
            const int b = t[a] + t[x] + y;
            const uint32_t h = static_cast<uint32_t>(t[(t[b] >> 3) + (t[k + x + y] >> 3)]);
            row[x] = h | ((h | 0xFF00) << 8);
        }
    }
}

namespace {

constexpr int PlasmaDiagonalSize = PictureWidth + BandBottom - 1;  // x + y up to 526
constexpr int PlasmaEighthsSize = 1230;                            // b up to 1229
constexpr int PlasmaWordsSize = 127;                               // last index up to 126

// T[k + x + y] / 8 by x + y, T[b] / 8, and the pixel word for each last index.
int32_t Diagonal[PlasmaDiagonalSize];
int32_t Eighths[PlasmaEighthsSize];
uint32_t Words[PlasmaWordsSize];

}  // namespace

// The same six lookups, arranged so that each pixel costs four: going down a
// column, T[k + x] / 8 and T[x] are fixed, so T[T[k + x] / 8 + y] runs along
// the table; the divisions and the word's assembly are tables of their own.
// Gathers were tried for AVX2 and were slower than this on every level.
void DrawPlasma(Picture& destination, uint32_t phase) {
    const int32_t* t = SineTable;
    const int k = static_cast<int>(phase % PlasmaPeriod);
    for (int j = 0; j < PlasmaDiagonalSize; ++j) Diagonal[j] = t[k + j] >> 3;
    for (int b = 0; b < PlasmaEighthsSize; ++b) Eighths[b] = t[b] >> 3;
    for (int c = 0; c < PlasmaWordsSize; ++c) {
        const uint32_t h = static_cast<uint32_t>(t[c]);
        Words[c] = h | ((h | 0xFF00) << 8);
    }
    for (int x = 0; x < PictureWidth; ++x) {
        const int32_t* down = t + Diagonal[x];    // T[a] = down[y]
        const int32_t* eighths = Eighths + t[x];  // T[b] / 8 = eighths[T[a] + y]
        const int32_t* diagonal = Diagonal + x;   // T[k + x + y] / 8 = diagonal[y]
        uint32_t* pixel = destination.Pixels + BandTop * PictureWidth + x;
        for (int y = BandTop; y < BandBottom; ++y, pixel += PictureWidth)
            *pixel = Words[eighths[down[y] + y] + diagonal[y]];
    }
}
