#include "fx/radial_blur.h"

#include "fx/fixed_point.h"
#include "fx/fx_routines.h"
#include "fx/pixel.h"

int32_t RadialBlurStep(float factor) {
    const int32_t step = TruncateToInt32(static_cast<double>(factor) * 65536.0);
    return step < 0 ? 0 : step > 65535 ? 65535 : step;
}

namespace {

// One quadrant: rows from yFirst toward yLast (inclusive) and columns from
// xFirst toward xLast, each row finished before the next. Positions move away
// from the centre (cx, 120) by `step` per pixel, so the sample is taken from
// pixels this pass has already rewritten.
void BlurQuadrant(Picture& picture, int32_t step, int cx, int xFirst, int xLast, int yFirst, int yLast) {
    const int dx = xLast >= xFirst ? 1 : -1;
    const int dy = yLast >= yFirst ? 1 : -1;
    int32_t v = (120 << 16) + (yFirst - 120) * step;
    for (int y = yFirst; y != yLast + dy; y += dy, v += dy * step) {
        int32_t u = (cx << 16) + (xFirst - cx) * step;
        uint32_t* row = picture.Pixels + y * PictureWidth;
        for (int x = xFirst; x != xLast + dx; x += dx, u += dx * step)
            row[x] = BilinearSample(picture.Pixels, u, v);
    }
}

// The weights that a sample at `offset` (16.16) from the centre gives to the
// local positions near = offset >> 16 and near + 1. Ascending quadrants
// sample at centre + offset, descending ones at centre - offset; in local
// positions (distance from the centre) both read the same two, but the
// fraction bits, and so the weights, differ.
struct PairWeights {
    uint16_t nearWeight, farWeight;
};
PairWeights LocalWeights(int32_t offset, bool descending) {
    const int32_t fraction = (offset >> 12) & 15;
    if (!descending) return {static_cast<uint16_t>(16 - fraction), static_cast<uint16_t>(fraction)};
    const int32_t position = (256 << 16) - offset;  // any centre past the band will do
    const int32_t index = position >> 16, f = (position >> 12) & 15;
    const int32_t near = offset >> 16;
    // The sampler reads local 256 - index with weight 16 - f and local
    // 255 - index with weight f; one of them is `near`, the other near + 1
    // or, with f = 0, near - 1.
    const auto weightOf = [&](int32_t local) {
        return static_cast<uint16_t>((local == 256 - index ? 16 - f : 0) + (local == 255 - index ? f : 0));
    };
    return {weightOf(near), weightOf(near + 1)};
}

// lane groups: down-right, down-left, up-right, up-left.
void SetLanes(BlurLanes& lanes, uint16_t q0, uint16_t q1, uint16_t q2, uint16_t q3) {
    const uint16_t byQuadrant[4] = {q0, q1, q2, q3};
    for (int lane = 0; lane < 16; ++lane) lanes.lane[lane] = byQuadrant[lane / 4];
}

void PlanRadialBlur(BlurPlan& plan, int32_t step) {
    BlurLanes zero;
    SetLanes(zero, 0, 0, 0, 0);
    for (int i = 0; i < BlurColumns; ++i) {
        const int32_t offset = i * step;
        const PairWeights right = LocalWeights(offset, false), left = LocalWeights(offset, true);
        const int32_t first = offset >> 16, second = first + 1;
        constexpr int32_t lanes = 16;
        plan.firstOffset[i] = first * lanes;
        plan.secondOffset[i] = second * lanes;
        SetLanes(plan.wxFirst[i], right.nearWeight, left.nearWeight, right.nearWeight, left.nearWeight);
        SetLanes(plan.wxSecond[i], right.farWeight, left.farWeight, right.farWeight, left.farWeight);
        // The column written just before is read from a register.
        const bool firstJustWritten = first == i - 1, secondJustWritten = second == i - 1;
        plan.chainFirstOffset[i] = (firstJustWritten ? BlurZeroColumn : first) * lanes;
        plan.chainSecondOffset[i] = (secondJustWritten ? BlurZeroColumn : second) * lanes;
        plan.wxChain[i] = firstJustWritten ? plan.wxFirst[i] : secondJustWritten ? plan.wxSecond[i] : zero;
    }
    for (int j = 0; j < BlurRows; ++j) {
        const int32_t offset = j * step;
        const PairWeights down = LocalWeights(offset, false), up = LocalWeights(offset, true);
        const int32_t near = offset >> 16;
        BlurLanes nearWeights, farWeights;
        SetLanes(nearWeights, down.nearWeight, down.nearWeight, up.nearWeight, up.nearWeight);
        SetLanes(farWeights, down.farWeight, down.farWeight, up.farWeight, up.farWeight);
        if (near == j) {
            // The centre row samples only itself (its far weights are 0).
            plan.rowA[j] = plan.rowB[j] = j;
            plan.wyA[j] = farWeights;
            plan.wyB[j] = nearWeights;
        } else {
            plan.rowA[j] = near;
            plan.rowB[j] = near + 1;
            plan.wyA[j] = nearWeights;
            plan.wyB[j] = farWeights;
        }
        plan.chained[j] = plan.rowB[j] == j;
        plan.wyChain[j] = plan.chained[j] ? plan.wyB[j] : zero;
    }
}

}  // namespace

BlurLanes BlurScratch[BlurRows][BlurColumns + 1];
const uint32_t BlurZeroRow[PictureWidth] = {};
uint32_t BlurSinkRow[PictureWidth];

void RadialBlurScalar(Picture& picture, float factor) {
    const int32_t step = RadialBlurStep(factor);
    BlurQuadrant(picture, step, 160, 160, 319, 120, 207);
    BlurQuadrant(picture, step, 160, 160, 319, 119, 32);
    BlurQuadrant(picture, step, 159, 159, 0, 120, 207);
    BlurQuadrant(picture, step, 159, 159, 0, 119, 32);
}

// Every pixel reads only pixels at most as far from the centre as itself, in
// its own quadrant (the centre row and column are shared, read after they
// are final), so the four quadrants can run side by side, one row of each at
// a time: the band is folded into four-quadrant lanes, blurred, unfolded.
void RadialBlur(Picture& picture, float factor) {
    static BlurPlan plan;
    static int32_t plannedStep = -1;
    const int32_t step = RadialBlurStep(factor);
    if (step != plannedStep) {
        PlanRadialBlur(plan, step);
        plannedStep = step;
    }
    ActiveFx.radialBlurBand(picture.Pixels, plan);
}
