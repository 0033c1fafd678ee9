#pragma once
// Between the SDL window stand-in and the SDL display device.

#include <SDL.h>

#include "platform/window.h"

// The SDL window behind a window handle; null for an unknown handle.
SDL_Window* SdlWindowOf(HWND window);
