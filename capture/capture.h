#pragma once
// Captures the show into a video file offline: every frame rendered exactly at
// its time, in order, with the module rendered in step.

#include <libopenmpt/libopenmpt.h>

#include <cstdint>
#include <functional>
#include <string>

#include "capture/encoder.h"

// The elapsed time frame n of a capture shows, in milliseconds.
uint32_t FrameElapsed(int64_t n, int fps);

struct CaptureSettings {
    std::string output;  // the finished file
    const MediaFormat* format = nullptr;
    int width = 1920, height = 1080, fps = 60;
    bool full = false;
    int64_t frames = 0;
    openmpt_module* module = nullptr;  // rendered from where it stands; null: silence
};

// Renders frames 0 ... frames - 1 of the show as started by StartOffscreen
// (the caller starts it where the pictures are), encodes them with the
// sound and writes `output` through a temporary file beside it, which Ctrl-C
// and SIGTERM remove. `progress` hears the number of frames done after each.
// On failure nothing is left behind and `error` says why in one line.
bool CaptureShow(const CaptureSettings& settings, const std::function<void(int64_t)>& progress,
                 std::string& error);
