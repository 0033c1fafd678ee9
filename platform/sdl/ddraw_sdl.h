#pragma once

#include "platform/ddraw.h"

// The SDL display device: a desktop-sized full-screen window in place of a
// mode switch, the frame scaled up sharply with its aspect kept, and a
// streaming texture as the back buffer. Its modes are 32 bits (XRGB8888),
// 24 bits (BGR24) and 16 bits (RGB565); the environment variable
// DEMO_PIXEL_FORMAT names the only format to offer instead (XRGB8888,
// XBGR8888, BGR24, RGB24, RGB565, BGR565, RGB555 or BGR555).
HRESULT SdlDirectDrawCreate(GUID* driver, IDirectDraw** directDraw, void* outer);
