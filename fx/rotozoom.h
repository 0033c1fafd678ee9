#pragma once

#include "facts/picture.h"

// Draws `source` turned by `angle` radians and magnified by `zoom` about the
// screen centre into the band of `destination`, bilinear filtered. Pixels
// whose source position falls on or beyond the source's last row or column
// keep their old value. `source` and `destination` must be distinct.
void Rotozoom(const Picture& source, Picture& destination, float zoom, float angle);

// The straightforward scalar rotozoom, testing every position, that every
// faster level must match.
void RotozoomScalar(const Picture& source, Picture& destination, float zoom, float angle);

// The 16.16 step vector for a zoom and angle: kc = cos(angle) / zoom and
// ks = sin(angle) / zoom, truncated toward zero.
struct RotozoomSteps {
    int32_t kc;
    int32_t ks;
};
RotozoomSteps ComputeRotozoomSteps(float zoom, float angle);
