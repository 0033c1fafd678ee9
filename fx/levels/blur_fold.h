#pragma once
// The radial blur folded: its four quadrants blurred side by side, one pixel
// of each in the sixteen 16-bit lanes of a BlurLanes.
//
//   picture columns      0 ... 159 | 160 ... 319
//   rows  32 .. 119     up-left q3 | up-right q2      local rows 88 .. 1
//   rows 120 .. 207   down-left q1 | down-right q0    local rows  0 .. 87
//
// Local pixel (i, j), column i = 0..159 and row j = 0..88, stands for
//   q0 (160 + i, 120 + j)   q1 (159 - i, 120 + j)
//   q2 (160 + i, 120 - j)   q3 (159 - i, 120 - j)
// and lane 4 q + c of its BlurLanes is channel c of quadrant q:
//   lanes  0  1  2  3 |  4  5  6  7 |  8  9 10 11 | 12 13 14 15
//          q0 B G R S | q1 B G R S  | q2 B G R S  | q3 B G R S
// Every pixel reads only pixels of its own quadrant at most as far from the
// centre as itself, and in local coordinates all four quadrants read the same
// two local rows and columns, each with weights of its own; so one lane-wise
// loop blurs the four at once. Row 120 is written from the lower quadrants
// only (the upper ones start at row 119), and local row 88 exists only above:
// its lower lanes read zeros and are written nowhere.
//
// Only the level sources include this, each with a lane type local to itself,
// so every instantiation of the loops below is private to its level and
// compiled for it.

#include <cstdint>

#include "facts/picture.h"

struct alignas(32) BlurLanes {
    uint16_t lane[16];
};

constexpr int BlurRows = CentreY - BandTop + 1;  // local rows 0..88
constexpr int BlurColumns = CentreX;             // local columns 0..159
constexpr int BlurZeroColumn = BlurColumns;      // a slot that always holds zeros
extern BlurLanes BlurScratch[BlurRows][BlurColumns + 1];

// Which folded pixels a blur sample reads, and with which weights. Column
// positions are offsets in 16-bit lanes from the start of a row (a column is
// 16 lanes). A local row is "chained" when it samples itself: the pixel just
// written is then taken from a register, with weight wxChain * wyChain, and
// its slot in the chain offsets is the zero slot.
struct BlurPlan {
    int32_t firstOffset[BlurColumns], secondOffset[BlurColumns];  // columns near and near + 1
    int32_t chainFirstOffset[BlurColumns], chainSecondOffset[BlurColumns];
    BlurLanes wxFirst[BlurColumns], wxSecond[BlurColumns], wxChain[BlurColumns];
    int32_t rowA[BlurRows], rowB[BlurRows];
    bool chained[BlurRows];
    BlurLanes wyA[BlurRows], wyB[BlurRows], wyChain[BlurRows];
};

// The plan for a 16.16 step within 0..65535.
void PlanRadialBlur(BlurPlan& plan, int32_t step);

// A row of zeros the fold reads where a quadrant has no row, and a row the
// unfold writes where a quadrant's row belongs to another quadrant.
extern const uint32_t BlurZeroRow[PictureWidth];
extern uint32_t BlurSinkRow[PictureWidth];

// The lane type W a level supplies: one BlurLanes in registers, with
//   static W Load(const uint16_t* lanes)     sixteen lanes, 32-byte aligned
//   static void Store(uint16_t* lanes, W)    the same
//   static W Zero()
//   static W Mul(W, W), Add(W, W)            lane by lane, modulo 65 536
//   static W ShiftRight8(W)                  lane by lane, zeros shifted in
//   static W Settled(W)                      its argument, opaque to the
//                                            optimiser (an empty asm)
//   static void FoldFour(const uint32_t* downRight, const uint32_t* downLeft,
//                        const uint32_t* upRight, const uint32_t* upLeft,
//                        BlurLanes* out)
//       out[k] = local column i + k from the four quadrants' rows, where
//       downRight/upRight point at picture column 160 + i and
//       downLeft/upLeft at column 156 - i (their four pixels reversed);
//       channels widened to lanes as in the table above
//   static void UnfoldFour(const BlurLanes* in, uint32_t* downRight,
//                          uint32_t* downLeft, uint32_t* upRight,
//                          uint32_t* upLeft)
//       the inverse, each lane narrowed back to its byte (lanes hold 0..255)

// Per channel the sample is (wyA * hA + wyB * hB) >> 8 with
// h = wxFirst * p(first) + wxSecond * p(second) on rows rowA and rowB: the
// bilinear sum, exact, every partial sum below 65 536. In a chained row the
// pixel written last is kept in a register. W::Settled stops the compiler
// from reassociating a product so that two multiplies would stand between
// one pixel and the next.
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

// Folds local row j into BlurScratch, four local columns at a time.
template <class W>
void FoldRow(const uint32_t* pixels, int j) {
    const uint32_t* down = CentreY + j < BandBottom ? pixels + (CentreY + j) * PictureWidth : BlurZeroRow;
    const uint32_t* up = pixels + (CentreY - j) * PictureWidth;
    for (int i = 0; i < BlurColumns; i += 4)
        W::FoldFour(down + CentreX + i, down + CentreX - 4 - i, up + CentreX + i, up + CentreX - 4 - i,
                    BlurScratch[j] + i);
}

template <class W>
void UnfoldRow(uint32_t* pixels, int j) {
    uint32_t* down = CentreY + j < BandBottom ? pixels + (CentreY + j) * PictureWidth : BlurSinkRow;
    uint32_t* up = j > 0 ? pixels + (CentreY - j) * PictureWidth : BlurSinkRow;
    for (int i = 0; i < BlurColumns; i += 4)
        W::UnfoldFour(BlurScratch[j] + i, down + CentreX + i, down + CentreX - 4 - i, up + CentreX + i,
                      up + CentreX - 4 - i);
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
