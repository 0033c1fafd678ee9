#pragma once
// The show as Windows runs a screensaver: the same program under a name
// ending in .scr, started with /s (full screen until the user moves), /p HWND
// (a preview drawn into that window) or /c (its settings).

#include <cstdint>
#include <string>

#include "facts/picture.h"

enum class SaverMode { Show, FullScreen, Preview, Settings };

// How the program was asked to run; `previewWindow` is set for Preview.
SaverMode SaverModeOf(int argc, char** argv, uintptr_t& previewWindow);

// The settings box: there is nothing to set beyond the music file named here.
void ShowSaverSettings(const std::string& musicSwitch);

// Draws the frames `frameAt` gives for the milliseconds since the start into
// `window`, scaled to fit it, until the window goes away.
void RunPreview(uintptr_t window, const Picture& (*frameAt)(uint32_t elapsed));

// Keeps the saver silent: the sound is sent nowhere.
void SilenceTheSaver();
