#include "fx/rotozoom.h"

#include <cmath>

#include "fx/fixed_point.h"
#include "fx/pixel.h"

RotozoomSteps ComputeRotozoomSteps(float zoom, float angle) {
    const double inverse = 1.0 / static_cast<double>(zoom);
    return {TruncateToInt32(std::cos(static_cast<double>(angle)) * inverse * 65536.0),
            TruncateToInt32(std::sin(static_cast<double>(angle)) * inverse * 65536.0)};
}

void Rotozoom(const Picture& source, Picture& destination, float zoom, float angle) {
    const RotozoomSteps steps = ComputeRotozoomSteps(zoom, angle);
    const int32_t kc = steps.kc, ks = steps.ks;
    // The sampler reads a 2 x 2 block, so the last column and row are out.
    const uint32_t uLimit = 319u << 16, vLimit = 239u << 16;
    for (int y = BandTop; y < BandBottom; ++y) {
        int32_t u = WrapAdd(WrapAdd(160 << 16, WrapMul(-160, kc)), WrapMul(-(y - 120), ks));
        int32_t v = WrapAdd(WrapAdd(120 << 16, WrapMul(-160, ks)), WrapMul(y - 120, kc));
        uint32_t* row = destination.Pixels + y * PictureWidth;
        for (int x = 0; x < PictureWidth; ++x) {
            // Negative positions wrap to huge unsigned values and fail too.
            if (static_cast<uint32_t>(u) < uLimit && static_cast<uint32_t>(v) < vLimit)
                row[x] = BilinearSample(source.Pixels, u, v);
            u = WrapAdd(u, kc);
            v = WrapAdd(v, ks);
        }
    }
}
