#pragma once
// Between the SDL window stand-in and the SDL display device.

#include <SDL.h>

#include "platform/window.h"

// The SDL window behind a window handle; null for an unknown handle.
SDL_Window* SdlWindowOf(HWND window);

// Names on standard error, once per run, the step of the display's set-up that
// SDL refused and SDL's reason: the show itself ends with no message.
void ReportDisplayFailure(const char* step);

// From now on any key, click or move of the mouse counts as Escape, as a
// screensaver ends.
void EndOnAnyInput();
