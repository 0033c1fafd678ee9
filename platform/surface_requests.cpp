#include "platform/surface_requests.h"

HRESULT AttachedBackBuffer(const DDSCAPS* caps, IDirectDrawSurface* backBuffer, IDirectDrawSurface** attached) {
    if (!caps || !attached) return DDERR_INVALIDPARAMS;
    if (!(caps->dwCaps & DDSCAPS_BACKBUFFER) || !backBuffer) return DDERR_NOTFOUND;
    *attached = backBuffer;
    return DD_OK;
}

HRESULT CheckPrimaryRequest(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer, bool& flipping) {
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC) || !surface || outer) return DDERR_INVALIDPARAMS;
    const DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    if (!(caps & DDSCAPS_PRIMARYSURFACE)) return DDERR_UNSUPPORTED;
    flipping = (caps & DDSCAPS_FLIP) != 0;
    if (flipping && (!(caps & DDSCAPS_COMPLEX) || !(desc->dwFlags & DDSD_BACKBUFFERCOUNT) ||
                     desc->dwBackBufferCount == 0))
        return DDERR_INVALIDPARAMS;
    return DD_OK;
}

HRESULT SurfaceLock::Check(bool isBackBuffer, const RECT* rect, const DDSURFACEDESC* desc) const {
    if (!isBackBuffer || rect || !desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    return Held() ? DDERR_GENERIC : DD_OK;
}

HRESULT SurfaceLock::Grant(IDirectDrawSurface& surface, DDSURFACEDESC* desc, void* pixels, int width, int height,
                           LONG pitch) {
    this->pixels = pixels;
    desc->dwWidth = static_cast<DWORD>(width);
    desc->dwHeight = static_cast<DWORD>(height);
    desc->lPitch = pitch;
    desc->lpSurface = pixels;
    desc->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    return surface.GetPixelFormat(&desc->ddpfPixelFormat);
}

HRESULT SurfaceLock::End(const void* surfaceData) {
    if (!Held() || surfaceData != pixels) return DDERR_INVALIDPARAMS;
    pixels = nullptr;
    return DD_OK;
}

HRESULT CheckFlipRequest(const SurfaceLock* backBuffer) {
    if (!backBuffer) return DDERR_UNSUPPORTED;
    return backBuffer->Held() ? DDERR_GENERIC : DD_OK;
}
