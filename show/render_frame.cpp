#include "show/render_frame.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "assets/image_bank.h"
#include "fx/pixel.h"
#include "fx/plasma.h"
#include "fx/radial_blur.h"
#include "fx/rotozoom.h"
#include "platform/clock.h"

uint32_t StartTime;
Picture MixBuffer;
Picture AuxBuffer;
Picture OutputBuffer;

namespace {

// Single-precision constants, written exactly.
constexpr float AngleRate = 0x1.a36e2ep-15f;      // 0.00005 rad per ms
constexpr float ZoomRate = 0x1.a36e2ep-16f;       // 0.000025 per ms
constexpr float BlurWaveRate = 0x1.47ae14p-9f;    // 0.0025 rad per ms
constexpr float BlurWaveScale = 0x1.ecc07cp-8f;   // nearest float to 1/133

}  // namespace

// The elapsed time is read as unsigned so that runs past 2^31 ms keep slot
// and d in range; below that it equals the signed reading.
FrameTimeline ComputeTimeline(uint32_t elapsed) {
    FrameTimeline t;
    t.slot = static_cast<int>((elapsed / SegmentMilliseconds) % ImageCount);
    t.next = (t.slot + 1) % ImageCount;
    t.d = elapsed % SegmentMilliseconds;
    t.angle = static_cast<float>(t.d) * AngleRate;
    t.zoom = static_cast<float>(1.4 - t.d * static_cast<double>(ZoomRate));
    t.nextZoom = static_cast<float>(2.2 - static_cast<double>(t.angle));
    t.nextAngle = static_cast<float>(static_cast<double>(t.angle) - 0.8);
    t.alpha = static_cast<int>(t.d * 255 / SegmentMilliseconds);
    t.phase = elapsed / PlasmaPhaseMilliseconds;
    return t;
}

float BlurFactor(uint32_t elapsed) {
    const double wave = 0.2 + 0.1 * std::sin(elapsed * static_cast<double>(BlurWaveRate));
    return static_cast<float>(0.987 + wave * static_cast<double>(BlurWaveScale));
}

namespace {

void MixPictures(const FrameTimeline& t) {
    Rotozoom(ImageBank[t.slot], MixBuffer, t.zoom, t.angle);
    Rotozoom(ImageBank[t.next], AuxBuffer, t.nextZoom, t.nextAngle);
    BlendFrame(AuxBuffer, MixBuffer, t.alpha);
    CopyFrame(MixBuffer, OutputBuffer);
}

void FinishFrame(const FrameTimeline& t, uint32_t blurElapsed) {
    DrawPlasma(AuxBuffer, t.phase);
    BlendFrame(AuxBuffer, OutputBuffer, PlasmaMixWeight);
    RadialBlur(OutputBuffer, BlurFactor(blurElapsed));
    BlendFrame(MixBuffer, OutputBuffer, SharpMixWeight);
}

}  // namespace

void ComposeFrame(uint32_t elapsed, uint32_t blurElapsed) {
    const FrameTimeline t = ComputeTimeline(elapsed);
    MixPictures(t);
    FinishFrame(t, blurElapsed);
}

void StartOffscreen() {
    LoadImages();
    BuildSineTable();
    for (Picture* picture : {&MixBuffer, &AuxBuffer, &OutputBuffer}) std::memset(picture->Pixels, 0, PictureBytes);
}

void RenderFrame() {
    const FrameTimeline t = ComputeTimeline(timeGetTime() - StartTime);
    MixPictures(t);
    FinishFrame(t, timeGetTime() - StartTime);
}
