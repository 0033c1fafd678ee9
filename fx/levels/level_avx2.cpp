// The AVX2 level, compiled with AVX2 enabled and used only where the
// processor reports it.

#include <immintrin.h>

#include <cstdint>

#include "fx/fixed_point.h"
#include "fx/fx_routines.h"
#include "fx/levels/blur_fold.h"
#include "fx/levels/x86_fold.h"

namespace {

__m256i Load8(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
void Store8(void* p, __m256i v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }

// One BlurLanes in one register.
struct Avx2Lanes {
    __m256i v;

    static Avx2Lanes Load(const uint16_t* lanes) {
        return {_mm256_load_si256(reinterpret_cast<const __m256i*>(lanes))};
    }
    static void Store(uint16_t* lanes, Avx2Lanes a) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), a.v);
    }
    static Avx2Lanes Zero() { return {_mm256_setzero_si256()}; }
    static Avx2Lanes Mul(Avx2Lanes a, Avx2Lanes b) { return {_mm256_mullo_epi16(a.v, b.v)}; }
    static Avx2Lanes Add(Avx2Lanes a, Avx2Lanes b) { return {_mm256_add_epi16(a.v, b.v)}; }
    static Avx2Lanes ShiftRight8(Avx2Lanes a) { return {_mm256_srli_epi16(a.v, 8)}; }
    static Avx2Lanes Settled(Avx2Lanes a) {
        __asm__("" : "+x"(a.v));
        return a;
    }
    static Avx2Lanes Widen(__m128i pixels) { return {_mm256_cvtepu8_epi16(pixels)}; }
    static __m128i Narrow(Avx2Lanes a) {
        return _mm_packus_epi16(_mm256_castsi256_si128(a.v), _mm256_extracti128_si256(a.v, 1));
    }
    static void FoldFour(const uint32_t* downRight, const uint32_t* downLeft, const uint32_t* upRight,
                         const uint32_t* upLeft, BlurLanes* out) {
        FoldFourX86<Avx2Lanes>(downRight, downLeft, upRight, upLeft, out);
    }
    static void UnfoldFour(const BlurLanes* in, uint32_t* downRight, uint32_t* downLeft, uint32_t* upRight,
                           uint32_t* upLeft) {
        UnfoldFourX86<Avx2Lanes>(in, downRight, downLeft, upRight, upLeft);
    }
};

// Bilinear samples of four pixels from their loaded pairs (a pixel and its
// right neighbour, above and below). The bytes of each pair are interleaved
// channel by channel and multiplied by (16 - fx, fx) as signed bytes, which
// gives each row's horizontal sum (at most 4080) in a 16-bit lane; the
// vertical weights then bring the exact bilinear sum, below 65 536.
__m256i BilinearFour(__m256i top, __m256i bottom, __m256i wx, __m256i fy) {
    const __m256i interleave = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15,  //
                                                0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m256i gy = _mm256_sub_epi16(_mm256_set1_epi16(16), fy);
    const __m256i h0 = _mm256_maddubs_epi16(_mm256_shuffle_epi8(top, interleave), wx);
    const __m256i h1 = _mm256_maddubs_epi16(_mm256_shuffle_epi8(bottom, interleave), wx);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(h0, gy), _mm256_mullo_epi16(h1, fy)), 8);
}

// Four pixel pairs, each a pixel and its right neighbour, at four offsets.
__m256i LoadPairs(const uint32_t* pixels, const int32_t* offset) {
    const auto pair = [&](int k) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixels + offset[k]));
    };
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_unpacklo_epi64(pair(0), pair(1))),
                                   _mm_unpacklo_epi64(pair(2), pair(3)), 1);
}

// Per channel, with p = 255 - alpha,
//   (d p + s alpha) / 256 = d + (alpha s - (alpha + 1) d) / 256   (alpha <= 127)
//                         = s + (p d - (p + 1) s) / 256            (alpha >= 128),
// rounded down on both sides. The pair sum has signed-byte weights, so one
// multiply-add of interleaved bytes gives it, in -32 640..32 385; its high
// byte is a signed byte that, added to d or s, is the exact result.
template <bool TowardSource>
void BlendTowards(const uint32_t* source, uint32_t* destination, uint32_t alpha) {
    const int p = 255 - static_cast<int>(alpha), a = static_cast<int>(alpha);
    const int weightD = TowardSource ? p : -(a + 1), weightS = TowardSource ? -(p + 1) : a;
    const __m256i weights = _mm256_set1_epi16(static_cast<int16_t>((weightD & 0xFF) | (weightS & 0xFF) << 8));
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);  // the spare byte comes out 0
    for (int i = 0; i < PicturePixels; i += 8) {
        const __m256i s = Load8(source + i), d = Load8(destination + i);
        const __m256i low = _mm256_srai_epi16(_mm256_maddubs_epi16(_mm256_unpacklo_epi8(d, s), weights), 8);
        const __m256i high = _mm256_srai_epi16(_mm256_maddubs_epi16(_mm256_unpackhi_epi8(d, s), weights), 8);
        const __m256i sum = _mm256_add_epi8(TowardSource ? s : d, _mm256_packs_epi16(low, high));
        Store8(destination + i, _mm256_and_si256(sum, colour));
    }
}

void BlendFrameAvx2(const uint32_t* source, uint32_t* destination, uint32_t alpha) {
    if (alpha < 128)
        BlendTowards<false>(source, destination, alpha);
    else
        BlendTowards<true>(source, destination, alpha);
}

void RotozoomSpanAvx2(const uint32_t* source, uint32_t* destination, int count, int32_t u, int32_t v,
                      int32_t kc, int32_t ks) {
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i uu = _mm256_add_epi32(_mm256_set1_epi32(u), _mm256_mullo_epi32(lane, _mm256_set1_epi32(kc)));
    __m256i vv = _mm256_add_epi32(_mm256_set1_epi32(v), _mm256_mullo_epi32(lane, _mm256_set1_epi32(ks)));
    const __m256i stepU = _mm256_slli_epi32(_mm256_set1_epi32(kc), 3);
    const __m256i stepV = _mm256_slli_epi32(_mm256_set1_epi32(ks), 3);
    const __m256i fifteen = _mm256_set1_epi32(15), sixteen = _mm256_set1_epi32(16);
    const __m256i width = _mm256_set1_epi32(PictureWidth);
    const __m256i lowPixels = _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3);
    const __m256i highPixels = _mm256_setr_epi32(4, 4, 5, 5, 6, 6, 7, 7);
    alignas(32) int32_t index[8];
    for (int x = 0; x < count; x += 8) {
        const __m256i offset =
            _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(vv, FixedShift), width),
                             _mm256_srai_epi32(uu, FixedShift));
        const __m256i fx = _mm256_and_si256(_mm256_srli_epi32(uu, SampleFractionShift), fifteen);
        const __m256i fy = _mm256_and_si256(_mm256_srli_epi32(vv, SampleFractionShift), fifteen);
        // Per pixel: the byte pair (16 - fx, fx) four times, and fy in four 16-bit lanes.
        __m256i wx = _mm256_or_si256(_mm256_sub_epi32(sixteen, fx), _mm256_slli_epi32(fx, 8));
        wx = _mm256_or_si256(wx, _mm256_slli_epi32(wx, 16));
        const __m256i wy = _mm256_or_si256(fy, _mm256_slli_epi32(fy, 16));
        Store8(index, offset);
        const __m256i low = BilinearFour(LoadPairs(source, index), LoadPairs(source + PictureWidth, index),
                                         _mm256_permutevar8x32_epi32(wx, lowPixels),
                                         _mm256_permutevar8x32_epi32(wy, lowPixels));
        const __m256i high = BilinearFour(
            LoadPairs(source, index + 4), LoadPairs(source + PictureWidth, index + 4),
            _mm256_permutevar8x32_epi32(wx, highPixels), _mm256_permutevar8x32_epi32(wy, highPixels));
        // Packing interleaves the halves' pixel pairs as 0 1 4 5 2 3 6 7.
        Store8(destination + x, _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8));
        uu = _mm256_add_epi32(uu, stepU);
        vv = _mm256_add_epi32(vv, stepV);
    }
}

void RadialBlurBandAvx2(uint32_t* pixels, const BlurPlan& plan) { RadialBlurFolded<Avx2Lanes>(pixels, plan); }

}  // namespace

extern const FxRoutines Avx2Routines = {BlendFrameAvx2, RotozoomSpanAvx2, RadialBlurBandAvx2};
