#pragma once

#include "facts/picture.h"

// Smears the band of `picture` outward from the screen centre, in place:
// each pixel takes a bilinear sample slightly nearer the centre, read after
// this call's earlier writes. `factor` lies between 0 and 1.
void RadialBlur(Picture& picture, float factor);

// The straightforward scalar blur, quadrant by quadrant and row by row, that
// every faster level must match.
void RadialBlurScalar(Picture& picture, float factor);

// The 16.16 step for `factor`, kept within 0..65535 so that every sample of
// the band, with its right and lower neighbours, stays inside the band.
int32_t RadialBlurStep(float factor);
