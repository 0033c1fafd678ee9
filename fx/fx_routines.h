#pragma once
// The per-level routines behind the public effects. Only the effects' own
// sources include this. No level may call an inline function shared with
// other sources: the AVX2 level is compiled with AVX2 enabled, and a shared
// inline copy could leak AVX2 code into the other levels.

#include <cstdint>

struct BlurPlan;  // fx/levels/blur_fold.h

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

// The level in use; the portable one until the start-up choice.
extern const FxRoutines* ActiveFx;

// The portable level's blend and rotozoom run are the scalar references'
// own loops, beside them in pixel.cpp and rotozoom.cpp.
void BlendFramePortable(const uint32_t* source, uint32_t* destination, uint32_t alpha);
void RotozoomSpanPortable(const uint32_t* source, uint32_t* destination, int count, int32_t u, int32_t v,
                          int32_t kc, int32_t ks);
