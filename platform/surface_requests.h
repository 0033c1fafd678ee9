#pragma once
// The checks every display device makes of the same requests.

#include "platform/ddraw.h"

// GetAttachedSurface on a primary: its back buffer, if it has one.
HRESULT AttachedBackBuffer(const DDSCAPS* caps, IDirectDrawSurface* backBuffer, IDirectDrawSurface** attached);

// A CreateSurface request the devices serve: a primary surface, with at least
// one back buffer in a complex chain when it flips. DD_OK sets `flipping`.
HRESULT CheckPrimaryRequest(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer, bool& flipping);
