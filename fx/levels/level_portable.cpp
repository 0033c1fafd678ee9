// The portable level: plain C++ for any processor. Its blend and rotozoom
// run are the scalar references' own loops; its radial blur is the folded
// loop over plain arrays of sixteen 16-bit lanes.

#include "fx/fx_routines.h"
#include "fx/levels/blur_fold.h"

namespace {

struct PortableLanes {
    uint16_t v[16];

    static PortableLanes Load(const uint16_t* lanes) {
        PortableLanes r;
        for (int k = 0; k < 16; ++k) r.v[k] = lanes[k];
        return r;
    }
    static void Store(uint16_t* lanes, const PortableLanes& a) {
        for (int k = 0; k < 16; ++k) lanes[k] = a.v[k];
    }
    static PortableLanes Zero() { return {}; }
    static PortableLanes Mul(const PortableLanes& a, const PortableLanes& b) {
        PortableLanes r;
        for (int k = 0; k < 16; ++k) r.v[k] = static_cast<uint16_t>(uint32_t{a.v[k]} * b.v[k]);
        return r;
    }
    static PortableLanes Add(const PortableLanes& a, const PortableLanes& b) {
        PortableLanes r;
        for (int k = 0; k < 16; ++k) r.v[k] = static_cast<uint16_t>(a.v[k] + b.v[k]);
        return r;
    }
    static PortableLanes Settled(const PortableLanes& a) { return a; }
    static PortableLanes ShiftRight8(const PortableLanes& a) {
        PortableLanes r;
        for (int k = 0; k < 16; ++k) r.v[k] = static_cast<uint16_t>(a.v[k] >> 8);
        return r;
    }

    static void FoldFour(const uint32_t* downRight, const uint32_t* downLeft, const uint32_t* upRight,
                         const uint32_t* upLeft, BlurLanes* out) {
        for (int k = 0; k < 4; ++k) {
            const uint32_t pixels[4] = {downRight[k], downLeft[3 - k], upRight[k], upLeft[3 - k]};
            for (int lane = 0; lane < 16; ++lane)
                out[k].lane[lane] = static_cast<uint16_t>((pixels[lane / 4] >> (8 * (lane % 4))) & 0xFF);
        }
    }
    static void UnfoldFour(const BlurLanes* in, uint32_t* downRight, uint32_t* downLeft, uint32_t* upRight,
                           uint32_t* upLeft) {
        for (int k = 0; k < 4; ++k) {
            uint32_t pixels[4] = {};
            for (int lane = 0; lane < 16; ++lane)
                pixels[lane / 4] |= uint32_t{in[k].lane[lane]} << (8 * (lane % 4));
            downRight[k] = pixels[0];
            downLeft[3 - k] = pixels[1];
            upRight[k] = pixels[2];
            upLeft[3 - k] = pixels[3];
        }
    }
};

void RadialBlurBandPortable(uint32_t* pixels, const BlurPlan& plan) {
    RadialBlurFolded<PortableLanes>(pixels, plan);
}

}  // namespace

extern const FxRoutines PortableRoutines = {BlendFramePortable, RotozoomSpanPortable, RadialBlurBandPortable};
