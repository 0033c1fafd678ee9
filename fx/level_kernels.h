#pragma once
// Loops shared by the levels, written over the level's own vector types.
// Only the level sources include this, each with types local to itself, so
// every instantiation is private to its level and compiled for it.

#include <cstdint>

#include "fx/fx_routines.h"

// The radial blur over a type W holding one BlurLanes (one pixel of each
// quadrant, sixteen 16-bit lanes). Per channel the sample is
// (wyA * hA + wyB * hB) >> 8 with h = wxFirst * p(first) + wxSecond * p(second)
// on rows rowA and rowB: the bilinear sum, exact, every partial sum below
// 65 536. In a chained row the pixel written last is kept in a register.
template <class W>
void BlurFoldedRows(const BlurPlan& plan) {
    for (int j = 0; j < BlurRows; ++j) {
        const BlurLanes* rowA = BlurScratch[plan.rowA[j]];
        const BlurLanes* rowB = BlurScratch[plan.rowB[j]];
        const int32_t* firstB = plan.chained[j] ? plan.chainFirst : plan.first;
        const int32_t* secondB = plan.chained[j] ? plan.chainSecond : plan.second;
        BlurLanes* out = BlurScratch[j];
        const W wyA = W::Load(plan.wyA[j]), wyB = W::Load(plan.wyB[j]), wyChain = W::Load(plan.wyChain[j]);
        W last = W::Zero();
        for (int i = 0; i < BlurColumns; ++i) {
            const W wx0 = W::Load(plan.wxFirst[i]), wx1 = W::Load(plan.wxSecond[i]);
            const W hA = W::Add(W::Mul(wx0, W::Load(rowA[plan.first[i]])), W::Mul(wx1, W::Load(rowA[plan.second[i]])));
            const W hB = W::Add(W::Mul(wx0, W::Load(rowB[firstB[i]])), W::Mul(wx1, W::Load(rowB[secondB[i]])));
            const W sum = W::Add(W::Mul(wyA, hA), W::Mul(wyB, hB));
            last = W::ShiftRight8(W::Add(sum, W::Mul(W::Mul(wyChain, W::Load(plan.wxChain[i])), last)));
            W::Store(out[i], last);
        }
    }
}

// Folds the band into BlurScratch, four local columns at a time. The left
// quadrants' four pixels lie at picture columns 156 - i .. 159 - i, reversed.
template <class W>
void FoldBand(const uint32_t* pixels) {
    for (int j = 0; j < BlurRows; ++j) {
        const uint32_t* down = j + 120 < BandBottom ? pixels + (120 + j) * PictureWidth : BlurZeroRow;
        const uint32_t* up = pixels + (120 - j) * PictureWidth;
        for (int i = 0; i < BlurColumns; i += 4)
            W::FoldFour(down + 160 + i, down + 156 - i, up + 160 + i, up + 156 - i, BlurScratch[j] + i);
    }
}

// The centre row is written from the lower quadrants only.
template <class W>
void UnfoldBand(uint32_t* pixels) {
    for (int j = 0; j < BlurRows; ++j) {
        uint32_t* down = j + 120 < BandBottom ? pixels + (120 + j) * PictureWidth : BlurSinkRow;
        uint32_t* up = j > 0 ? pixels + (120 - j) * PictureWidth : BlurSinkRow;
        for (int i = 0; i < BlurColumns; i += 4)
            W::UnfoldFour(BlurScratch[j] + i, down + 160 + i, down + 156 - i, up + 160 + i, up + 156 - i);
    }
}

template <class W>
void RadialBlurFolded(uint32_t* pixels, const BlurPlan& plan) {
    FoldBand<W>(pixels);
    BlurFoldedRows<W>(plan);
    UnfoldBand<W>(pixels);
}
