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
