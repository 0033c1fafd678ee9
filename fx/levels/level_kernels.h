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
// W::Settled stops the compiler from reassociating a product so that two
// multiplies would stand between one pixel and the next.
template <class W>
void BlurFoldedRow(const BlurPlan& plan, int j) {
    const uint16_t* rowA = BlurScratch[plan.rowA[j]][0].lane;
    const uint16_t* rowB = BlurScratch[plan.rowB[j]][0].lane;
    const int32_t* firstB = plan.chained[j] ? plan.chainFirstOffset : plan.firstOffset;
    const int32_t* secondB = plan.chained[j] ? plan.chainSecondOffset : plan.secondOffset;
    BlurLanes* out = BlurScratch[j];
    const W wyA = W::Load(plan.wyA[j].lane), wyB = W::Load(plan.wyB[j].lane);
    const W wyChain = W::Load(plan.wyChain[j].lane);
    W last = W::Zero();
    for (int i = 0; i < BlurColumns; ++i) {
        const W wx0 = W::Load(plan.wxFirst[i].lane), wx1 = W::Load(plan.wxSecond[i].lane);
        const uint16_t* a = rowA + plan.firstOffset[i];
        const W hA = W::Add(W::Mul(wx0, W::Load(a)), W::Mul(wx1, W::Load(a + 16)));
        const W hB = W::Add(W::Mul(wx0, W::Load(rowB + firstB[i])), W::Mul(wx1, W::Load(rowB + secondB[i])));
        const W sum = W::Add(W::Mul(wyA, hA), W::Mul(wyB, hB));
        // One multiply, one add and one shift from one pixel to the next.
        const W chain = W::Settled(W::Mul(wyChain, W::Load(plan.wxChain[i].lane)));
        last = W::ShiftRight8(W::Add(sum, W::Mul(chain, last)));
        W::Store(out[i].lane, last);
    }
}

// Folds local row j into BlurScratch, four local columns at a time. The left
// quadrants' four pixels lie at picture columns 156 - i .. 159 - i, reversed.
template <class W>
void FoldRow(const uint32_t* pixels, int j) {
    const uint32_t* down = j + 120 < BandBottom ? pixels + (120 + j) * PictureWidth : BlurZeroRow;
    const uint32_t* up = pixels + (120 - j) * PictureWidth;
    for (int i = 0; i < BlurColumns; i += 4)
        W::FoldFour(down + 160 + i, down + 156 - i, up + 160 + i, up + 156 - i, BlurScratch[j] + i);
}

// The centre row is written from the lower quadrants only.
template <class W>
void UnfoldRow(uint32_t* pixels, int j) {
    uint32_t* down = j + 120 < BandBottom ? pixels + (120 + j) * PictureWidth : BlurSinkRow;
    uint32_t* up = j > 0 ? pixels + (120 - j) * PictureWidth : BlurSinkRow;
    for (int i = 0; i < BlurColumns; i += 4)
        W::UnfoldFour(BlurScratch[j] + i, down + 160 + i, down + 156 - i, up + 160 + i, up + 156 - i);
}

// Rows only read folded rows nearer the centre, and the picture rows of a
// local row are read once and written once, so each row is folded just
// before it is blurred and unfolded just after.
template <class W>
void RadialBlurFolded(uint32_t* pixels, const BlurPlan& plan) {
    for (int j = 0; j < BlurRows; ++j) {
        FoldRow<W>(pixels, j);
        BlurFoldedRow<W>(plan, j);
        UnfoldRow<W>(pixels, j);
    }
}
