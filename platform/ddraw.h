#pragma once
// The display device the show draws through: DirectDraw's first interfaces,
// reduced to what full-screen page flipping needs. The object model's
// interfaces are abstract classes, called through their method tables.
// The real device runs on SDL (sdl/ddraw_sdl.cpp) or on a web page's canvas
// (web/ddraw_web.cpp) and is reached through LoadLibraryA("ddraw.dll") and
// its export "DirectDrawCreate".

#include "platform/types.h"
#include "platform/window.h"

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_NOTFOUND = static_cast<HRESULT>(0x887600FFu);

// SetCooperativeLevel
constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

// DDSURFACEDESC::dwFlags
constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;

// DDSCAPS::dwCaps
constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
constexpr DWORD DDSCAPS_COMPLEX = 0x8;
constexpr DWORD DDSCAPS_FLIP = 0x10;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;

constexpr DWORD DDPF_RGB = 0x40;
constexpr DWORD DDLOCK_WAIT = 0x1;
constexpr DWORD DDFLIP_WAIT = 0x1;

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

// The fields surface creation and locking use; dwSize is this struct's size.
struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;  // bytes from one row to the next
    DWORD dwBackBufferCount;
    void* lpSurface;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

struct GUID;
struct RECT;

// Where a flip puts the frame. The devices' screens are windows of any size,
// not a mode of the frame's own: rows firstRow .. firstRow + rows - 1 of the
// back buffer fill the rectangle x, y, width x height of the screen, counted
// in device pixels, and the rest of the screen is black.
struct FramePlacement {
    int firstRow, rows;
    int x, y, width, height;
};

// Whoever sets the mode decides the placement, asked at every flip with the
// screen's size as it is then (a window may be resized at any time).
using PlaceFrame = FramePlacement (*)(int screenWidth, int screenHeight);

class IDirectDrawSurface {
public:
    virtual ULONG Release() = 0;
    virtual HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** attached) = 0;
    virtual HRESULT GetPixelFormat(DDPIXELFORMAT* format) = 0;
    virtual HRESULT Restore() = 0;
    // Only a null rectangle (the whole surface) is supported.
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, void* event) = 0;
    virtual HRESULT Unlock(void* surfaceData) = 0;
    virtual HRESULT Flip(IDirectDrawSurface* target, DWORD flags) = 0;

protected:
    ~IDirectDrawSurface() = default;
};

class IDirectDraw {
public:
    virtual ULONG Release() = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) = 0;
    virtual HRESULT RestoreDisplayMode() = 0;
    virtual HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) = 0;
    // The one addition to the interface, for screens that are not the mode:
    // until it is called a flip stretches the whole frame over the screen.
    // A page, which places its canvas itself, takes it and shows the frame
    // whole.
    virtual HRESULT SetFramePlacement(PlaceFrame place) = 0;

protected:
    ~IDirectDraw() = default;
};

// The type of the "DirectDrawCreate" export. A null driver is the default
// display; an outer object is not supported.
using LPDIRECTDRAWCREATE = HRESULT (*)(GUID* driver, IDirectDraw** directDraw, void* outer);

// Creates the platform's own display device, for "ddraw.dll"'s
// "DirectDrawCreate" once that has checked its arguments.
HRESULT OpenDisplayDevice(IDirectDraw** directDraw);
