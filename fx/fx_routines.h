#pragma once
// The per-level routines behind the public effects, and the plans the public
// routines prepare for them. Only the effects' own sources include this.
// Nothing here may be an inline function: the AVX2 routines are compiled
// with AVX2 enabled, and a shared inline copy could leak AVX2 code into the
// other levels.

#include <cstdint>

#include "fx/picture.h"

// One pixel of each of the radial blur's four quadrants, channels widened to
// 16 bits: lane 4 * q + c is channel c (blue, green, red, spare) of quadrant
// q = down-right, down-left, up-right, up-left.
struct alignas(32) BlurLanes {
    uint16_t lane[16];
};

// The band folded about the centre: local row j is picture row 120 + j for the
// lower quadrants and 120 - j for the upper ones; local column i is picture
// column 160 + i for the right quadrants and 159 - i for the left ones. In
// these coordinates every quadrant samples the same two local rows and
// columns for a pixel, with weights of its own.
constexpr int BlurRows = 89;                 // local rows 0..88 (row 88 exists only above)
constexpr int BlurColumns = 160;             // local columns 0..159
constexpr int BlurZeroColumn = BlurColumns;  // a slot that always holds zeros
extern BlurLanes BlurScratch[BlurRows][BlurColumns + 1];

// Which folded pixels a blur sample reads, and with which weights. Column
// positions are offsets in 16-bit lanes from the start of a row (a column is
// 16 lanes). A local row is "chained" when it samples itself: the pixel just
// written is then taken from a register, with weight wxChain * wyChain, and
// its slot in the chain offsets is the zero slot.
struct BlurPlan {
    int32_t firstOffset[BlurColumns], secondOffset[BlurColumns];  // columns near and near + 1
    int32_t chainFirstOffset[BlurColumns], chainSecondOffset[BlurColumns];
    BlurLanes wxFirst[BlurColumns], wxSecond[BlurColumns], wxChain[BlurColumns];
    int32_t rowA[BlurRows], rowB[BlurRows];
    bool chained[BlurRows];
    BlurLanes wyA[BlurRows], wyB[BlurRows], wyChain[BlurRows];
};

// A row of zeros the fold reads where a quadrant has no row, and a row the
// unfold writes where a quadrant's row belongs to another quadrant.
extern const uint32_t BlurZeroRow[PictureWidth];
extern uint32_t BlurSinkRow[PictureWidth];

struct FxRoutines {
    // destination = blend of source into it; alpha already within 0..255.
    void (*blendFrame)(const uint32_t* source, uint32_t* destination, uint32_t alpha);
    // Bilinear samples of source at (u, v), (u + kc, v + ks), ... into
    // destination[0..count); count is a multiple of 8 and every position is
    // inside the sampler's bounds.
    void (*rotozoomSpan)(const uint32_t* source, uint32_t* destination, int count, int32_t u, int32_t v,
                         int32_t kc, int32_t ks);
    void (*radialBlurBand)(uint32_t* pixels, const BlurPlan& plan);
};

// The level in use; starts as the portable level, set at start-up.
extern FxRoutines ActiveFx;

void BlendFramePortable(const uint32_t* source, uint32_t* destination, uint32_t alpha);
void RotozoomSpanPortable(const uint32_t* source, uint32_t* destination, int count, int32_t u, int32_t v,
                          int32_t kc, int32_t ks);
void RadialBlurBandPortable(uint32_t* pixels, const BlurPlan& plan);

#if DEMO_FX_X86
void BlendFrameSse2(const uint32_t* source, uint32_t* destination, uint32_t alpha);
void RotozoomSpanSse2(const uint32_t* source, uint32_t* destination, int count, int32_t u, int32_t v,
                      int32_t kc, int32_t ks);
void RadialBlurBandSse2(uint32_t* pixels, const BlurPlan& plan);

void BlendFrameAvx2(const uint32_t* source, uint32_t* destination, uint32_t alpha);
void RotozoomSpanAvx2(const uint32_t* source, uint32_t* destination, int count, int32_t u, int32_t v,
                      int32_t kc, int32_t ks);
void RadialBlurBandAvx2(uint32_t* pixels, const BlurPlan& plan);
#endif
