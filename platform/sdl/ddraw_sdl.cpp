// The SDL display device: a desktop-sized full-screen window in place of a
// mode switch, the frame's rows placed on it where the display says, scaled
// sharply, and a streaming texture as the back buffer. Its modes are 32 bits
// (XRGB8888), 24 bits (BGR24) and 16 bits (RGB565); the environment variable
// DEMO_PIXEL_FORMAT names the only format to offer instead (XRGB8888,
// XBGR8888, BGR24, RGB24, RGB565, BGR565, RGB555 or BGR555).

#include "platform/ddraw.h"
#include "platform/surface_requests.h"

#include <SDL.h>
#include <errno.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl/sdl_window.h"

namespace {

struct NamedFormat {
    const char* name;
    Uint32 format;
};

const NamedFormat Formats[] = {
    {"XRGB8888", SDL_PIXELFORMAT_XRGB8888}, {"XBGR8888", SDL_PIXELFORMAT_XBGR8888},
    {"BGR24", SDL_PIXELFORMAT_BGR24},       {"RGB24", SDL_PIXELFORMAT_RGB24},
    {"RGB565", SDL_PIXELFORMAT_RGB565},     {"BGR565", SDL_PIXELFORMAT_BGR565},
    {"RGB555", SDL_PIXELFORMAT_RGB555},     {"BGR555", SDL_PIXELFORMAT_BGR555},
};

// Bits per pixel as the display stores them: 32 for XRGB8888, 16 for the
// 5-5-5 formats (SDL counts 24 and 15 bits of colour there).
int BitCount(Uint32 format) { return SDL_BYTESPERPIXEL(format) * 8; }

// The format the device offers at `bits` per pixel, 0 for none.
Uint32 FormatForDepth(DWORD bits) {
    if (const char* forced = std::getenv("DEMO_PIXEL_FORMAT")) {
        for (const NamedFormat& named : Formats)
            if (std::strcmp(forced, named.name) == 0) return BitCount(named.format) == static_cast<int>(bits) ? named.format : 0;
        // Every depth asks in turn: one line is enough.
        static std::string reported;
        if (reported != forced)
            std::fprintf(stderr, "%s: DEMO_PIXEL_FORMAT: unknown format \"%s\"\n", program_invocation_short_name, forced);
        reported = forced;
        return 0;
    }
    switch (bits) {
    case 32: return SDL_PIXELFORMAT_XRGB8888;
    case 24: return SDL_PIXELFORMAT_BGR24;
    case 16: return SDL_PIXELFORMAT_RGB565;
    default: return 0;
    }
}

class SdlDirectDraw;

// One class serves both ends of a flipping chain: the primary owns the
// renderer, the texture and the back buffer, which is where drawing happens.
class SdlSurface final : public IDirectDrawSurface {
public:
    SdlSurface(SdlDirectDraw* owner, SDL_Renderer* renderer, SDL_Texture* texture, Uint32 format, bool flipping)
        : owner(owner), renderer(renderer), texture(texture), format(format),
          backBuffer(flipping ? new SdlSurface(nullptr, renderer, texture, format, false) : nullptr) {}

    ULONG Release() override;

    HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** attached) override {
        return AttachedBackBuffer(caps, backBuffer, attached);
    }

    HRESULT GetPixelFormat(DDPIXELFORMAT* pixelFormat) override {
        if (!pixelFormat || pixelFormat->dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
        int bits = 0;
        Uint32 red, green, blue, alpha;
        SDL_PixelFormatEnumToMasks(format, &bits, &red, &green, &blue, &alpha);
        *pixelFormat = {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, static_cast<DWORD>(BitCount(format)), red, green, blue, alpha};
        return DD_OK;
    }

    // Streaming textures keep their memory; nothing gets lost.
    HRESULT Restore() override { return DD_OK; }

    HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD, void*) override {
        if (const HRESULT checked = lock.Check(IsBackBuffer(), rect, desc); FAILED(checked)) return checked;
        void* pixels = nullptr;
        int pitch = 0;
        int width = 0, height = 0;
        if (SDL_QueryTexture(texture, nullptr, nullptr, &width, &height) != 0 ||
            SDL_LockTexture(texture, nullptr, &pixels, &pitch) != 0)
            return DDERR_GENERIC;
        return lock.Grant(*this, desc, pixels, width, height, pitch);
    }

    HRESULT Unlock(void* surfaceData) override {
        const HRESULT ended = lock.End(surfaceData);
        if (!FAILED(ended)) SDL_UnlockTexture(texture);
        return ended;
    }

    HRESULT Flip(IDirectDrawSurface*, DWORD) override;

private:
    bool IsBackBuffer() const { return !owner; }

    SdlDirectDraw* owner;  // null for the back buffer
    SDL_Renderer* renderer;
    SDL_Texture* texture;
    Uint32 format;
    SdlSurface* backBuffer;
    SurfaceLock lock;
};

class SdlDirectDraw final : public IDirectDraw {
public:
    // The device holds the video subsystem for as long as it lives.
    static HRESULT Create(IDirectDraw** directDraw) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            ReportDisplayFailure("video");
            return DDERR_GENERIC;
        }
        *directDraw = new SdlDirectDraw;
        return DD_OK;
    }

    ULONG Release() override {
        if (primary) primary->Release();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        delete this;
        return 0;
    }

    // Exclusive full screen: the window covers its whole display at the
    // desktop's own size, which the display keeps.
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        SDL_Window* sdl = SdlWindowOf(window);
        if (!sdl) return DDERR_INVALIDPARAMS;
        if (flags == DDSCL_NORMAL) {
            if (!(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FOREIGN)) {
                SDL_SetWindowFullscreen(sdl, 0);
                SDL_HideWindow(sdl);
            }
            exclusive = nullptr;
            return DD_OK;
        }
        if (flags != (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) return DDERR_UNSUPPORTED;
        // A window made by another program (a screensaver's) is the screen
        // as it is: its owner places, sizes and shows it.
        if (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FOREIGN) {
            exclusive = sdl;
            return DD_OK;
        }
        const int display = SDL_GetWindowDisplayIndex(sdl);
        SDL_DisplayMode desktop;
        SDL_Rect bounds;
        if (display < 0 || SDL_GetDesktopDisplayMode(display, &desktop) != 0 ||
            SDL_GetDisplayBounds(display, &bounds) != 0) {
            ReportDisplayFailure("desktop size");
            return DDERR_GENERIC;
        }
        // Sized and placed first: without a window manager a full-screen
        // window keeps the size it was created with.
        SDL_SetWindowPosition(sdl, bounds.x, bounds.y);
        SDL_SetWindowSize(sdl, desktop.w, desktop.h);
        if (SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            ReportDisplayFailure("full screen");
            return DDERR_GENERIC;
        }
        SDL_ShowWindow(sdl);
        SDL_RaiseWindow(sdl);
        exclusive = sdl;
        return DD_OK;
    }

    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override {
        if (!exclusive) return DDERR_GENERIC;
        const Uint32 format = FormatForDepth(bitsPerPixel);
        if (width == 0 || height == 0 || width > 4096 || height > 4096 || !format) return DDERR_UNSUPPORTED;
        mode = {static_cast<int>(width), static_cast<int>(height), format};
        return DD_OK;
    }

    HRESULT RestoreDisplayMode() override {
        mode = {};
        return DD_OK;
    }

    // Only the primary surface is made here, with or without a back buffer.
    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) override {
        bool flipping = false;
        if (const HRESULT checked = CheckPrimaryRequest(desc, surface, outer, flipping); FAILED(checked)) return checked;
        if (primary || !exclusive || !mode.format) return DDERR_GENERIC;

        SDL_Renderer* renderer = SDL_CreateRenderer(exclusive, -1, SDL_RENDERER_PRESENTVSYNC);
        if (!renderer) {
            ReportDisplayFailure("renderer");
            return DDERR_GENERIC;
        }
        SDL_Texture* texture =
            SDL_CreateTexture(renderer, mode.format, SDL_TEXTUREACCESS_STREAMING, mode.width, mode.height);
        if (!texture) {
            ReportDisplayFailure("frame texture");
            SDL_DestroyRenderer(renderer);
            return DDERR_GENERIC;
        }
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
        primary = new SdlSurface(this, renderer, texture, mode.format, flipping);
        *surface = primary;
        return DD_OK;
    }

    HRESULT SetFramePlacement(PlaceFrame rule) override {
        place = rule;
        return DD_OK;
    }

    void Forget() { primary = nullptr; }

    PlaceFrame Placement() const { return place; }

private:
    struct Mode {
        int width, height;
        Uint32 format;
    };
    SDL_Window* exclusive = nullptr;  // the window holding the screen
    Mode mode{};
    SdlSurface* primary = nullptr;
    PlaceFrame place = nullptr;
};

// Shows the back buffer's rows where the placement puts them on the
// renderer's output, with nearest sampling and black around them; the
// renderer's vertical sync makes this wait for the display.
HRESULT SdlSurface::Flip(IDirectDrawSurface*, DWORD) {
    if (const HRESULT checked = CheckFlipRequest(backBuffer ? &backBuffer->lock : nullptr); FAILED(checked))
        return checked;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    int copied = 0;
    if (const PlaceFrame place = owner->Placement()) {
        int width = 0, outputWidth = 0, outputHeight = 0;
        SDL_QueryTexture(texture, nullptr, nullptr, &width, nullptr);
        SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
        const FramePlacement placed = place(outputWidth, outputHeight);
        const SDL_Rect rows = {0, placed.firstRow, width, placed.rows};
        const SDL_Rect shown = {placed.x, placed.y, placed.width, placed.height};
        copied = SDL_RenderCopy(renderer, texture, &rows, &shown);
    } else {
        copied = SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    }
    if (copied != 0) return DDERR_GENERIC;
    SDL_RenderPresent(renderer);
    return DD_OK;
}

ULONG SdlSurface::Release() {
    if (IsBackBuffer()) return 1;  // lives and dies with its primary
    owner->Forget();
    delete backBuffer;
    SDL_DestroyRenderer(renderer);  // takes the texture with it
    delete this;
    return 0;
}

}  // namespace

HRESULT OpenDisplayDevice(IDirectDraw** directDraw) { return SdlDirectDraw::Create(directDraw); }
