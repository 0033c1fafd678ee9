// What the page's tests call besides the show: frames at chosen times, as
// demo-frames renders them, and the cost of a frame.

#include <emscripten/emscripten.h>

#include <cstring>
#include <initializer_list>

#include "assets/image_bank.h"
#include "fx/fx_level.h"
#include "fx/plasma.h"
#include "platform/web/page_contract.h"
#include "show/render_frame.h"

// Renders `count` frames in order into `frames`, 320 x 240 words each, from
// the same start as a fresh demo-frames run. For a page whose show has not
// started: it takes the show's pictures and working buffers.
void DemoRenderFrames(const uint32_t* times, int count, uint32_t* frames) {
    StartOffscreen();
    for (int i = 0; i < count; ++i) {
        ComposeFrame(times[i], times[i]);
        std::memcpy(frames + i * PicturePixels, OutputBuffer.Pixels, PictureBytes);
    }
}

// Mean wall-clock microseconds of a frame over `frames` frames spread across
// the show, at the portable level (simd 0) or the build's fastest (simd 1,
// the SSE2 level on WebAssembly's SIMD). The start-up level is restored.
double DemoFrameMicroseconds(int simd, int frames) {
    const FxLevel& started = ActiveFxLevel();
    if (!UseFxLevel(FxLevels[simd ? FxLevelCount - 1 : 0]) || frames <= 0) return -1;
    const double begin = emscripten_get_now();
    for (int i = 0; i < frames; ++i) {
        const uint32_t elapsed = static_cast<uint32_t>(i) * 4999u;  // every part of every segment
        ComposeFrame(elapsed, elapsed);
    }
    const double microseconds = (emscripten_get_now() - begin) * 1000.0 / frames;
    UseFxLevel(started);
    return microseconds;
}
