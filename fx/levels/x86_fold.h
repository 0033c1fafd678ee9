#pragma once
// Folding four pixels of each quadrant's row into four BlurLanes and back,
// for the SSE2 and AVX2 levels. W supplies Widen (16 bytes of pixels to
// 16-bit lanes) and Narrow. Internal linkage throughout: each level compiles
// its own copy for its own instruction set.

#include <emmintrin.h>

#include <cstdint>

#include "fx/levels/blur_fold.h"

namespace {

inline __m128i LoadFour(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void StoreFour(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i ReverseFour(__m128i v) { return _mm_shuffle_epi32(v, 0x1B); }

// Rows of four 32-bit words become columns: afterwards a = (a0 b0 c0 d0),
// b = (a1 b1 c1 d1), and so on. Its own inverse.
inline void TransposeFour(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
    const __m128i ab01 = _mm_unpacklo_epi32(a, b), ab23 = _mm_unpackhi_epi32(a, b);
    const __m128i cd01 = _mm_unpacklo_epi32(c, d), cd23 = _mm_unpackhi_epi32(c, d);
    a = _mm_unpacklo_epi64(ab01, cd01);
    b = _mm_unpackhi_epi64(ab01, cd01);
    c = _mm_unpacklo_epi64(ab23, cd23);
    d = _mm_unpackhi_epi64(ab23, cd23);
}

template <class W>
void FoldFourX86(const uint32_t* downRight, const uint32_t* downLeft, const uint32_t* upRight,
                 const uint32_t* upLeft, BlurLanes* out) {
    __m128i a = LoadFour(downRight), b = ReverseFour(LoadFour(downLeft));
    __m128i c = LoadFour(upRight), d = ReverseFour(LoadFour(upLeft));
    TransposeFour(a, b, c, d);
    W::Store(out[0].lane, W::Widen(a));
    W::Store(out[1].lane, W::Widen(b));
    W::Store(out[2].lane, W::Widen(c));
    W::Store(out[3].lane, W::Widen(d));
}

template <class W>
void UnfoldFourX86(const BlurLanes* in, uint32_t* downRight, uint32_t* downLeft, uint32_t* upRight,
                   uint32_t* upLeft) {
    __m128i a = W::Narrow(W::Load(in[0].lane)), b = W::Narrow(W::Load(in[1].lane));
    __m128i c = W::Narrow(W::Load(in[2].lane)), d = W::Narrow(W::Load(in[3].lane));
    TransposeFour(a, b, c, d);
    StoreFour(downRight, a);
    StoreFour(downLeft, ReverseFour(b));
    StoreFour(upRight, c);
    StoreFour(upLeft, ReverseFour(d));
}

}  // namespace
