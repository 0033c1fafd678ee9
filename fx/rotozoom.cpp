#include "fx/rotozoom.h"

#include <algorithm>
#include <cmath>

#include "fx/fixed_point.h"
#include "fx/fx_routines.h"
#include "fx/pixel.h"

RotozoomSteps ComputeRotozoomSteps(float zoom, float angle) {
    const double inverse = 1.0 / static_cast<double>(zoom);
    return {FixedFromReal(std::cos(static_cast<double>(angle)) * inverse),
            FixedFromReal(std::sin(static_cast<double>(angle)) * inverse)};
}

namespace {

// The sampler reads a 2 x 2 block, so the last column and row are out.
constexpr uint32_t ULimit = FixedFromInt(PictureWidth - 1), VLimit = FixedFromInt(PictureHeight - 1);

// Source position of column 0 of destination row y.
int32_t RowStartU(int y, const RotozoomSteps& s) {
    return WrapAdd(WrapAdd(FixedFromInt(CentreX), WrapMul(-CentreX, s.kc)), WrapMul(-(y - CentreY), s.ks));
}
int32_t RowStartV(int y, const RotozoomSteps& s) {
    return WrapAdd(WrapAdd(FixedFromInt(CentreY), WrapMul(-CentreX, s.ks)), WrapMul(y - CentreY, s.kc));
}

// One destination row with every position tested.
void RotozoomRowTested(const uint32_t* source, uint32_t* row, int32_t u, int32_t v, const RotozoomSteps& s) {
    for (int x = 0; x < PictureWidth; ++x) {
        // Negative positions wrap to huge unsigned values and fail too.
        if (static_cast<uint32_t>(u) < ULimit && static_cast<uint32_t>(v) < VLimit)
            row[x] = BilinearSample(source, u, v);
        u = WrapAdd(u, s.kc);
        v = WrapAdd(v, s.ks);
    }
}

// Rounds a / b toward minus infinity, for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

struct Span {
    int64_t first, last;  // empty when first > last
};

// The columns x of a row where 0 <= start + x * step < limit, exactly,
// for a row whose positions do not wrap.
Span InsideSpan(int64_t start, int64_t step, int64_t limit) {
    if (step == 0) return start >= 0 && start < limit ? Span{0, PictureWidth - 1} : Span{0, -1};
    if (step > 0) return {-FloorDiv(start, step), FloorDiv(limit - 1 - start, step)};
    return {-FloorDiv(limit - 1 - start, -step), FloorDiv(start, -step)};
}

bool FitsInt32(int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

}  // namespace

void RotozoomScalar(const Picture& source, Picture& destination, float zoom, float angle) {
    const RotozoomSteps steps = ComputeRotozoomSteps(zoom, angle);
    for (int y = BandTop; y < BandBottom; ++y)
        RotozoomRowTested(source.Pixels, destination.Pixels + y * PictureWidth, RowStartU(y, steps),
                          RowStartV(y, steps), steps);
}

void RotozoomSpanPortable(const uint32_t* source, uint32_t* destination, int count, int32_t u, int32_t v,
                          int32_t kc, int32_t ks) {
    for (int x = 0; x < count; ++x, u = WrapAdd(u, kc), v = WrapAdd(v, ks))
        destination[x] = BilinearSample(source, u, v);
}

// Each row's positions are a straight line, so the pixels inside the source
// form one run that needs no test; the level's routine samples it eight at a
// time and the few left over are sampled here.
void Rotozoom(const Picture& source, Picture& destination, float zoom, float angle) {
    const RotozoomSteps steps = ComputeRotozoomSteps(zoom, angle);
    const int64_t kc = steps.kc, ks = steps.ks;
    for (int y = BandTop; y < BandBottom; ++y) {
        const int32_t u = RowStartU(y, steps), v = RowStartV(y, steps);
        uint32_t* row = destination.Pixels + y * PictureWidth;
        if (!FitsInt32(u + (PictureWidth - 1) * kc) || !FitsInt32(v + (PictureWidth - 1) * ks)) {
            RotozoomRowTested(source.Pixels, row, u, v, steps);  // absurd zooms only
            continue;
        }
        const Span inU = InsideSpan(u, kc, ULimit), inV = InsideSpan(v, ks, VLimit);
        const int first = static_cast<int>(std::max({inU.first, inV.first, int64_t{0}}));
        const int last = static_cast<int>(std::min({inU.last, inV.last, int64_t{PictureWidth - 1}}));
        if (first > last) continue;
        const int vectored = (last - first + 1) & ~7;
        ActiveFx->rotozoomSpan(source.Pixels, row + first, vectored, static_cast<int32_t>(u + first * kc),
                              static_cast<int32_t>(v + first * ks), steps.kc, steps.ks);
        for (int x = first + vectored; x <= last; ++x)
            row[x] = BilinearSample(source.Pixels, static_cast<int32_t>(u + x * kc),
                                    static_cast<int32_t>(v + x * ks));
    }
}
