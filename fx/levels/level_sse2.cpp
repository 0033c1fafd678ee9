// The SSE2 level: every x86-64 processor runs it.

#include <emmintrin.h>

#include <cstdint>

#include "fx/fixed_point.h"
#include "fx/fx_routines.h"
#include "fx/levels/blur_fold.h"
#include "fx/levels/x86_fold.h"

namespace {

// The channels of the low (high) two of four packed pixels in 16-bit lanes.
__m128i WidenLow(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
__m128i WidenHigh(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }

// The weight in the blue, green and red lanes of each pixel, 0 in the spare one.
__m128i ChannelWeights(uint32_t w) {
    return _mm_set1_epi64x(static_cast<int64_t>(w * 0x0000000100010001ull));
}

// One BlurLanes as two registers of eight 16-bit lanes.
struct Sse2Lanes {
    __m128i low, high;

    static Sse2Lanes Load(const uint16_t* lanes) {
        const __m128i* p = reinterpret_cast<const __m128i*>(lanes);
        return {_mm_load_si128(p), _mm_load_si128(p + 1)};
    }
    static void Store(uint16_t* lanes, const Sse2Lanes& a) {
        __m128i* p = reinterpret_cast<__m128i*>(lanes);
        _mm_store_si128(p, a.low);
        _mm_store_si128(p + 1, a.high);
    }
    static Sse2Lanes Zero() { return {_mm_setzero_si128(), _mm_setzero_si128()}; }
    static Sse2Lanes Mul(const Sse2Lanes& a, const Sse2Lanes& b) {
        return {_mm_mullo_epi16(a.low, b.low), _mm_mullo_epi16(a.high, b.high)};
    }
    static Sse2Lanes Add(const Sse2Lanes& a, const Sse2Lanes& b) {
        return {_mm_add_epi16(a.low, b.low), _mm_add_epi16(a.high, b.high)};
    }
    static Sse2Lanes ShiftRight8(const Sse2Lanes& a) {
        return {_mm_srli_epi16(a.low, 8), _mm_srli_epi16(a.high, 8)};
    }
    static Sse2Lanes Settled(Sse2Lanes a) {
#ifdef __wasm__  // WebAssembly's locals stand in for the vector registers
        __asm__("" : "+r"(a.low), "+r"(a.high));
#else
        __asm__("" : "+x"(a.low), "+x"(a.high));
#endif
        return a;
    }
    static Sse2Lanes Widen(__m128i pixels) { return {WidenLow(pixels), WidenHigh(pixels)}; }
    static __m128i Narrow(const Sse2Lanes& a) { return _mm_packus_epi16(a.low, a.high); }
    static void FoldFour(const uint32_t* downRight, const uint32_t* downLeft, const uint32_t* upRight,
                         const uint32_t* upLeft, BlurLanes* out) {
        FoldFourX86<Sse2Lanes>(downRight, downLeft, upRight, upLeft, out);
    }
    static void UnfoldFour(const BlurLanes* in, uint32_t* downRight, uint32_t* downLeft, uint32_t* upRight,
                           uint32_t* upLeft) {
        UnfoldFourX86<Sse2Lanes>(in, downRight, downLeft, upRight, upLeft);
    }
};

// Each pixel's weight repeated over its four 16-bit channel lanes, for the
// two pixels of the low (or high) half of a four-pixel register.
__m128i PerPixelLanes(__m128i weights, bool high) {
    const __m128i both = _mm_or_si128(weights, _mm_slli_epi32(weights, 16));
    return high ? _mm_unpackhi_epi32(both, both) : _mm_unpacklo_epi32(both, both);
}

// Bilinear sum for two pixels whose neighbours' channels are in 16-bit lanes.
__m128i BilinearTwo(__m128i p00, __m128i p01, __m128i p10, __m128i p11, __m128i fx, __m128i fy) {
    const __m128i sixteen = _mm_set1_epi16(16);
    const __m128i gx = _mm_sub_epi16(sixteen, fx), gy = _mm_sub_epi16(sixteen, fy);
    const __m128i top = _mm_add_epi16(_mm_mullo_epi16(p00, gx), _mm_mullo_epi16(p01, fx));
    const __m128i bottom = _mm_add_epi16(_mm_mullo_epi16(p10, gx), _mm_mullo_epi16(p11, fx));
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(top, gy), _mm_mullo_epi16(bottom, fy)), 8);
}

__m128i LoadPair(const uint32_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }

// Channels widened to 16-bit lanes: d * (255 - alpha) + s * alpha (at most
// 65 025), then the high byte. The spare lanes have weight 0 and come out 0.
void BlendFrameSse2(const uint32_t* source, uint32_t* destination, uint32_t alpha) {
    const __m128i keep = ChannelWeights(255 - alpha), weight = ChannelWeights(alpha);
    for (int i = 0; i < PicturePixels; i += 4) {
        const __m128i s = LoadFour(source + i), d = LoadFour(destination + i);
        const __m128i low =
            _mm_add_epi16(_mm_mullo_epi16(WidenLow(d), keep), _mm_mullo_epi16(WidenLow(s), weight));
        const __m128i high =
            _mm_add_epi16(_mm_mullo_epi16(WidenHigh(d), keep), _mm_mullo_epi16(WidenHigh(s), weight));
        StoreFour(destination + i, _mm_packus_epi16(_mm_srli_epi16(low, 8), _mm_srli_epi16(high, 8)));
    }
}

void RotozoomSpanSse2(const uint32_t* source, uint32_t* destination, int count, int32_t u, int32_t v,
                      int32_t kc, int32_t ks) {
    const uint32_t uc = static_cast<uint32_t>(kc), us = static_cast<uint32_t>(ks);
    const uint32_t u0 = static_cast<uint32_t>(u), v0 = static_cast<uint32_t>(v);
    __m128i uu = _mm_setr_epi32(static_cast<int>(u0), static_cast<int>(u0 + uc),
                                static_cast<int>(u0 + 2 * uc), static_cast<int>(u0 + 3 * uc));
    __m128i vv = _mm_setr_epi32(static_cast<int>(v0), static_cast<int>(v0 + us),
                                static_cast<int>(v0 + 2 * us), static_cast<int>(v0 + 3 * us));
    const __m128i stepU = _mm_set1_epi32(static_cast<int>(4 * uc)),
                  stepV = _mm_set1_epi32(static_cast<int>(4 * us));
    const __m128i fifteen = _mm_set1_epi32(15);
    alignas(16) int32_t index[4];
    for (int x = 0; x < count; x += 4) {
        const __m128i row = _mm_srai_epi32(vv, FixedShift);
        // row * 320 + column, as row * 256 + row * 64 + column
        const __m128i offset = _mm_add_epi32(_mm_add_epi32(_mm_slli_epi32(row, 8), _mm_slli_epi32(row, 6)),
                                             _mm_srai_epi32(uu, FixedShift));
        _mm_store_si128(reinterpret_cast<__m128i*>(index), offset);
        const __m128i fx = _mm_and_si128(_mm_srli_epi32(uu, SampleFractionShift), fifteen);
        const __m128i fy = _mm_and_si128(_mm_srli_epi32(vv, SampleFractionShift), fifteen);
        // Each pair holds a pixel and its right neighbour; split them into
        // the left and right pixels of the four positions.
        const __m128 top01 =
            _mm_castsi128_ps(_mm_unpacklo_epi64(LoadPair(source + index[0]), LoadPair(source + index[1])));
        const __m128 top23 =
            _mm_castsi128_ps(_mm_unpacklo_epi64(LoadPair(source + index[2]), LoadPair(source + index[3])));
        const uint32_t* below = source + PictureWidth;
        const __m128 bottom01 =
            _mm_castsi128_ps(_mm_unpacklo_epi64(LoadPair(below + index[0]), LoadPair(below + index[1])));
        const __m128 bottom23 =
            _mm_castsi128_ps(_mm_unpacklo_epi64(LoadPair(below + index[2]), LoadPair(below + index[3])));
        const __m128i p00 = _mm_castps_si128(_mm_shuffle_ps(top01, top23, 0x88));
        const __m128i p01 = _mm_castps_si128(_mm_shuffle_ps(top01, top23, 0xDD));
        const __m128i p10 = _mm_castps_si128(_mm_shuffle_ps(bottom01, bottom23, 0x88));
        const __m128i p11 = _mm_castps_si128(_mm_shuffle_ps(bottom01, bottom23, 0xDD));
        const __m128i low = BilinearTwo(WidenLow(p00), WidenLow(p01), WidenLow(p10), WidenLow(p11),
                                        PerPixelLanes(fx, false), PerPixelLanes(fy, false));
        const __m128i high = BilinearTwo(WidenHigh(p00), WidenHigh(p01), WidenHigh(p10), WidenHigh(p11),
                                         PerPixelLanes(fx, true), PerPixelLanes(fy, true));
        StoreFour(destination + x, _mm_packus_epi16(low, high));
        uu = _mm_add_epi32(uu, stepU);
        vv = _mm_add_epi32(vv, stepV);
    }
}

void RadialBlurBandSse2(uint32_t* pixels, const BlurPlan& plan) { RadialBlurFolded<Sse2Lanes>(pixels, plan); }

}  // namespace

extern const FxRoutines Sse2Routines = {BlendFrameSse2, RotozoomSpanSse2, RadialBlurBandSse2};
