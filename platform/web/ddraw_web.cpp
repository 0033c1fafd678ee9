// The display device on a web page: the back buffer lives in memory and a
// flip puts it on the page's 320 x 240 canvas, which the page scales up
// sharply by the largest whole factor that fits. The one mode is 32 bits with
// the bytes red, green, blue, spare: a canvas's own order.

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <vector>

#include "platform/ddraw.h"
#include "platform/surface_requests.h"

namespace {

constexpr DWORD RedMask = 0x000000FF, GreenMask = 0x0000FF00, BlueMask = 0x00FF0000, OpaqueBits = 0xFF000000;

// Shows the words as the canvas's pixels, then waits for the browser's next
// animation frame: the page's vertical sync, and the show's yield to it.
EM_ASYNC_JS(void, PresentOnCanvas, (const uint32_t* pixels, int width, int height), {
    await DemoPage.present(HEAPU8.subarray(pixels, pixels + width * height * 4));
});

class WebDirectDraw;

class WebSurface final : public IDirectDrawSurface {
public:
    WebSurface(WebDirectDraw* owner, int width, int height, bool flipping)
        : owner(owner), width(width), height(height),
          backBuffer(flipping ? new WebSurface(nullptr, width, height, false) : nullptr) {
        if (!owner) pixels.resize(static_cast<size_t>(width) * height);
    }

    ULONG Release() override;

    HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** attached) override {
        return AttachedBackBuffer(caps, backBuffer, attached);
    }

    HRESULT GetPixelFormat(DDPIXELFORMAT* format) override {
        if (!format || format->dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
        *format = {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 32, RedMask, GreenMask, BlueMask, 0};
        return DD_OK;
    }

    HRESULT Restore() override { return DD_OK; }  // memory is never lost

    HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD, void*) override {
        if (const HRESULT checked = lock.Check(!owner, rect, desc); FAILED(checked)) return checked;
        return lock.Grant(*this, desc, pixels.data(), width, height, width * 4);
    }

    HRESULT Unlock(void* surfaceData) override { return lock.End(surfaceData); }

    HRESULT Flip(IDirectDrawSurface*, DWORD) override {
        if (const HRESULT checked = CheckFlipRequest(backBuffer ? &backBuffer->lock : nullptr); FAILED(checked))
            return checked;
        // A canvas keeps alpha: the spare byte must say opaque.
        for (uint32_t& word : backBuffer->pixels) word |= OpaqueBits;
        PresentOnCanvas(backBuffer->pixels.data(), width, height);
        return DD_OK;
    }

private:
    WebDirectDraw* owner;  // null for the back buffer
    int width, height;
    WebSurface* backBuffer;
    std::vector<uint32_t> pixels;  // the back buffer's
    SurfaceLock lock;
};

class WebDirectDraw final : public IDirectDraw {
public:
    ULONG Release() override {
        if (primary) primary->Release();
        delete this;
        return 0;
    }

    // The canvas is the whole show's screen, so full screen is a formality.
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        if (!window) return DDERR_INVALIDPARAMS;
        if (flags == DDSCL_NORMAL) {
            exclusive = false;
            return DD_OK;
        }
        if (flags != (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) return DDERR_UNSUPPORTED;
        exclusive = true;
        return DD_OK;
    }

    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override {
        if (!exclusive) return DDERR_GENERIC;
        if (width == 0 || height == 0 || width > 4096 || height > 4096 || bitsPerPixel != 32) return DDERR_UNSUPPORTED;
        modeWidth = static_cast<int>(width);
        modeHeight = static_cast<int>(height);
        return DD_OK;
    }

    HRESULT RestoreDisplayMode() override {
        modeWidth = modeHeight = 0;
        return DD_OK;
    }

    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) override {
        bool flipping = false;
        if (const HRESULT checked = CheckPrimaryRequest(desc, surface, outer, flipping); FAILED(checked)) return checked;
        if (primary || !exclusive || modeWidth == 0) return DDERR_GENERIC;
        primary = new WebSurface(this, modeWidth, modeHeight, flipping);
        *surface = primary;
        return DD_OK;
    }

    // The canvas is the mode; the page places it (fit.js).
    HRESULT SetFramePlacement(PlaceFrame) override { return DD_OK; }

    void Forget() { primary = nullptr; }

private:
    bool exclusive = false;
    int modeWidth = 0, modeHeight = 0;
    WebSurface* primary = nullptr;
};

ULONG WebSurface::Release() {
    if (!owner) return 1;  // lives and dies with its primary
    owner->Forget();
    delete backBuffer;
    delete this;
    return 0;
}

}  // namespace

HRESULT OpenDisplayDevice(IDirectDraw** directDraw) {
    *directDraw = new WebDirectDraw;
    return DD_OK;
}
