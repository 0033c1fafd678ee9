#include "fx/plasma.h"

#include <bit>
#include <cmath>

#include "fx/fx_routines.h"

int32_t SineTable[SineTableSize];

void BuildSineTable() {
    const float step = std::bit_cast<float>(0x3CB60B61u);  // nearest float to 1/45
    for (int i = 0; i < SineTableSize; ++i)
        SineTable[i] = static_cast<int32_t>((std::sin(i * static_cast<double>(step)) + 1.0) * 256.0);
}

void DrawPlasmaScalar(Picture& destination, uint32_t phase) {
    const int32_t* t = SineTable;
    const int k = static_cast<int>(phase % 283);
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

void PlasmaBandPortable(uint32_t* pixels, const PlasmaPlan& plan) {
    const int32_t* t = SineTable;
    for (int y = BandTop; y < BandBottom; ++y) {
        uint32_t* row = pixels + y * PictureWidth;
        const int32_t* diagonal = plan.diagonal + y;
        for (int x = 0; x < PictureWidth; ++x) {
            const int b = t[plan.diagonal[x] + y] + t[x] + y;
            const uint32_t h = static_cast<uint32_t>(t[(t[b] >> 3) + diagonal[x]]);
            row[x] = h | ((h | 0xFF00) << 8);
        }
    }
}

// Two of the six lookups per pixel depend only on the phase and x + y; they
// are made once per call.
void DrawPlasma(Picture& destination, uint32_t phase) {
    static PlasmaPlan plan;
    const int k = static_cast<int>(phase % 283);
    for (int j = 0; j < PlasmaDiagonalSize; ++j) plan.diagonal[j] = SineTable[k + j] >> 3;
    ActiveFx.plasmaBand(destination.Pixels, plan);
}
