#include "fx/radial_blur.h"

#include "fx/fixed_point.h"
#include "fx/fx_routines.h"
#include "fx/levels/blur_fold.h"
#include "fx/pixel.h"

int32_t RadialBlurStep(float factor) {
    const int32_t step = FixedFromReal(static_cast<double>(factor));
    return step < 0 ? 0 : step > FixedOne - 1 ? FixedOne - 1 : step;
}

namespace {

// One quadrant: rows from yFirst toward yLast (inclusive) and columns from
// xFirst toward xLast, each row finished before the next. Positions move away
// from the centre (cx, CentreY) by `step` per pixel, so the sample is taken
// from pixels this pass has already rewritten.
void BlurQuadrant(Picture& picture, int32_t step, int cx, int xFirst, int xLast, int yFirst, int yLast) {
    const int dx = xLast >= xFirst ? 1 : -1;
    const int dy = yLast >= yFirst ? 1 : -1;
    int32_t v = FixedFromInt(CentreY) + (yFirst - CentreY) * step;
    for (int y = yFirst; y != yLast + dy; y += dy, v += dy * step) {
        int32_t u = FixedFromInt(cx) + (xFirst - cx) * step;
        uint32_t* row = picture.Pixels + y * PictureWidth;
        for (int x = xFirst; x != xLast + dx; x += dx, u += dx * step)
            row[x] = BilinearSample(picture.Pixels, u, v);
    }
}

}  // namespace

void RadialBlurScalar(Picture& picture, float factor) {
    const int32_t step = RadialBlurStep(factor);
    const int right = CentreX, left = CentreX - 1, down = CentreY, up = CentreY - 1;
    BlurQuadrant(picture, step, right, right, PictureWidth - 1, down, BandBottom - 1);
    BlurQuadrant(picture, step, right, right, PictureWidth - 1, up, BandTop);
    BlurQuadrant(picture, step, left, left, 0, down, BandBottom - 1);
    BlurQuadrant(picture, step, left, left, 0, up, BandTop);
}

// Every pixel reads only pixels at most as far from the centre as itself, in
// its own quadrant (the centre row and column are shared, read after they
// are final), so the four quadrants can run side by side, one row of each at
// a time (fx/levels/blur_fold.h).
void RadialBlur(Picture& picture, float factor) {
    static BlurPlan plan;
    static int32_t plannedStep = -1;
    const int32_t step = RadialBlurStep(factor);
    if (step != plannedStep) {
        PlanRadialBlur(plan, step);
        plannedStep = step;
    }
    ActiveFx->radialBlurBand(picture.Pixels, plan);
}
