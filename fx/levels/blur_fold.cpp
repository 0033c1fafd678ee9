#include "fx/levels/blur_fold.h"

#include "fx/fixed_point.h"

BlurLanes BlurScratch[BlurRows][BlurColumns + 1];
const uint32_t BlurZeroRow[PictureWidth] = {};
uint32_t BlurSinkRow[PictureWidth];

namespace {

// The weights that a sample at `offset` (16.16) from the centre gives to the
// local positions near = offset >> 16 and near + 1. Ascending quadrants
// sample at centre + offset, descending ones at centre - offset; in local
// positions (distance from the centre) both read the same two, but the
// fraction bits, and so the weights, differ.
struct PairWeights {
    uint16_t nearWeight, farWeight;
};
PairWeights LocalWeights(int32_t offset, bool descending) {
    const int32_t fraction = static_cast<int32_t>(FixedSixteenths(offset));
    if (!descending) return {static_cast<uint16_t>(16 - fraction), static_cast<uint16_t>(fraction)};
    const int32_t position = FixedFromInt(256) - offset;  // any centre past the band will do
    const int32_t index = FixedWhole(position), f = static_cast<int32_t>(FixedSixteenths(position));
    const int32_t near = FixedWhole(offset);
    // The sampler reads local 256 - index with weight 16 - f and local
    // 255 - index with weight f; one of them is `near`, the other near + 1
    // or, with f = 0, near - 1.
    const auto weightOf = [&](int32_t local) {
        return static_cast<uint16_t>((local == 256 - index ? 16 - f : 0) + (local == 255 - index ? f : 0));
    };
    return {weightOf(near), weightOf(near + 1)};
}

// One weight per quadrant, in the lane order q0 .. q3.
void SetLanes(BlurLanes& lanes, uint16_t q0, uint16_t q1, uint16_t q2, uint16_t q3) {
    const uint16_t byQuadrant[4] = {q0, q1, q2, q3};
    for (int lane = 0; lane < 16; ++lane) lanes.lane[lane] = byQuadrant[lane / 4];
}

}  // namespace

void PlanRadialBlur(BlurPlan& plan, int32_t step) {
    BlurLanes zero;
    SetLanes(zero, 0, 0, 0, 0);
    for (int i = 0; i < BlurColumns; ++i) {
        const int32_t offset = i * step;
        const PairWeights right = LocalWeights(offset, false), left = LocalWeights(offset, true);
        const int32_t first = FixedWhole(offset), second = first + 1;
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
        const int32_t near = FixedWhole(offset);
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
