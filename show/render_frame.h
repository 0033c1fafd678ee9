#pragma once

#include <cstdint>

#include "assets/image_bank.h"
#include "facts/picture.h"

// Timeline: each picture of the bank holds the screen for one 16-second
// segment while it fades into the next; the whole cycle then repeats.
constexpr uint32_t SegmentMilliseconds = 16000;
constexpr uint32_t CycleMilliseconds = SegmentMilliseconds * ImageCount;
// The plasma moves on by one phase every 33 ms.
constexpr uint32_t PlasmaPhaseMilliseconds = 33;
// The blend weights (0..255) of the faint plasma over the frame and of the
// sharp cross-fade mixed back over the blurred frame.
constexpr int PlasmaMixWeight = 15;
constexpr int SharpMixWeight = 80;

// The clock reading the timeline counts from (set by the start-up).
extern uint32_t StartTime;

// Working pictures, kept from frame to frame: pixels the rotozoom skips show
// last frame's content.
extern Picture MixBuffer;     // current picture, then the cross-fade
extern Picture AuxBuffer;     // next picture, then the plasma
extern Picture OutputBuffer;  // the finished frame

// What the timeline derives from an elapsed time.
struct FrameTimeline {
    int slot;         // current picture, 0..ImageCount - 1
    int next;         // picture faded in, 0..ImageCount - 1
    uint32_t d;       // milliseconds into the segment, 0..15999
    float angle;      // rotation of the current picture
    float zoom;       // magnification of the current picture
    float nextZoom;   // magnification of the next picture
    float nextAngle;  // rotation of the next picture
    int alpha;        // cross-fade weight, 0..254
    uint32_t phase;   // plasma phase
};
FrameTimeline ComputeTimeline(uint32_t elapsed);

// Radial blur factor for the second clock reading of a frame.
float BlurFactor(uint32_t elapsed);

// Composes into OutputBuffer the frame whose first half (rotozooms,
// cross-fade, copy) is drawn at `elapsed` and whose radial blur is paced by
// `blurElapsed`, both in milliseconds since StartTime. Depends on nothing but
// its arguments, the image bank and the working pictures the frame before
// left behind.
void ComposeFrame(uint32_t elapsed, uint32_t blurElapsed);

// The start of frames made off screen, the same as the show's own start: the
// pictures loaded from the working directory, the sine table built and the
// working pictures black. The frames ComposeFrame then gives are the same in
// every program that renders them.
void StartOffscreen();

// The live show's frame: ComposeFrame on the clock, read once before the
// rotozooms and once more after the copy.
void RenderFrame();
