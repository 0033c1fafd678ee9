#pragma once
// The checks every display device makes of the same requests, and the lock
// on a back buffer, which every device keeps alike.

#include "platform/ddraw.h"

// GetAttachedSurface on a primary: its back buffer, if it has one.
HRESULT AttachedBackBuffer(const DDSCAPS* caps, IDirectDrawSurface* backBuffer, IDirectDrawSurface** attached);

// A CreateSurface request the devices serve: a primary surface, with at least
// one back buffer in a complex chain when it flips. DD_OK sets `flipping`.
HRESULT CheckPrimaryRequest(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer, bool& flipping);

// Only a back buffer locks, its whole surface and once at a time; Unlock
// takes back the pixels Lock gave out, and its chain flips only then.
class SurfaceLock {
public:
    // Lock's checks of the request, before the device finds the pixels.
    HRESULT Check(bool isBackBuffer, const RECT* rect, const DDSURFACEDESC* desc) const;
    // Gives out the device's `pixels`, `width` x `height` with `pitch` bytes
    // from one row to the next, through `desc`, in `surface`'s pixel format.
    HRESULT Grant(IDirectDrawSurface& surface, DDSURFACEDESC* desc, void* pixels, int width, int height, LONG pitch);
    // Unlock's check; DD_OK ends the lock.
    HRESULT End(const void* surfaceData);
    bool Held() const { return pixels != nullptr; }

private:
    void* pixels = nullptr;
};

// Flip on a primary: it needs a back buffer (`backBuffer` null when there is
// none) that is not locked.
HRESULT CheckFlipRequest(const SurfaceLock* backBuffer);
