#pragma once
// The show as Windows runs a screensaver: the same program under a name
// ending in .scr, started with /s (full screen until the user moves), /p HWND
// (a preview drawn into that window) or /c (its settings).

#include <cstdint>
#include <string>

enum class SaverMode { Show, FullScreen, Preview, Settings };

// How the program was asked to run; `previewWindow` is set for Preview.
SaverMode SaverModeOf(int argc, char** argv, uintptr_t& previewWindow);

// The settings box: there is nothing to set beyond the music file named here.
void ShowSaverSettings(const std::string& musicSwitch);

// The preview: a window of the saver's own inside `window`; false when it
// cannot be made.
bool OpenPreview(uintptr_t window);
// Handles the preview's messages; false once its window has gone with the
// window it was shown in.
bool PreviewOpen();
// Draws `rows` rows of 32-bit pixels, `width` wide, into the preview, placed
// as the show places its band on a screen.
void DrawPreview(const uint32_t* pixels, int width, int rows);

// Keeps the saver silent: the sound is sent nowhere.
void SilenceTheSaver();
