#include "display/display.h"

#include "facts/band_fit.h"
#include "facts/picture.h"
#include "platform/process.h"

HMODULE DisplayLibrary;
IDirectDraw* DirectDraw;
HWND MainWindow;
WNDCLASSA WindowClass;
IDirectDrawSurface* PrimarySurface;
IDirectDrawSurface* BackBuffer;
int ModeWidth;
int ModeHeight;
int AppActive;

int InitDisplay(const char* title, int width, int height) {
    ModeWidth = width;
    ModeHeight = height;

    DisplayLibrary = LoadLibraryA("ddraw.dll");
    if (!DisplayLibrary) return 0;
    const auto directDrawCreate =
        reinterpret_cast<LPDIRECTDRAWCREATE>(GetProcAddress(DisplayLibrary, "DirectDrawCreate"));
    if (!directDrawCreate) return 0;
    if (FAILED(directDrawCreate(nullptr, &DirectDraw, nullptr))) return 0;

    WindowClass = {};
    WindowClass.lpfnWndProc = WindowProc;
    WindowClass.lpszClassName = title;
    RegisterClassA(&WindowClass);
    // Not shown here: the exclusive mode below takes over the screen.
    MainWindow = CreateWindowExA(0, title, title, WS_POPUP | WS_SYSMENU, 0, 0, 0, 0);

    if (FAILED(DirectDraw->SetCooperativeLevel(MainWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN))) return 0;
    if (FAILED(DirectDraw->SetDisplayMode(width, height, 32)) && FAILED(DirectDraw->SetDisplayMode(width, height, 24)) &&
        FAILED(DirectDraw->SetDisplayMode(width, height, 16)))
        return 0;

    // Two back buffers if the display has room, then one, then none.
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 2;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    if (FAILED(DirectDraw->CreateSurface(&desc, &PrimarySurface, nullptr))) {
        desc.dwBackBufferCount = 1;
        if (FAILED(DirectDraw->CreateSurface(&desc, &PrimarySurface, nullptr))) {
            desc.dwFlags = DDSD_CAPS;
            desc.dwBackBufferCount = 0;
            desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
            if (FAILED(DirectDraw->CreateSurface(&desc, &PrimarySurface, nullptr))) return 0;
        }
    }

    DDSCAPS backBufferCaps = {DDSCAPS_BACKBUFFER};
    if (FAILED(PrimarySurface->GetAttachedSurface(&backBufferCaps, &BackBuffer))) return 0;

    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    if (FAILED(PrimarySurface->GetPixelFormat(&format)) || !(format.dwFlags & DDPF_RGB)) return 0;
    Converter = SelectConverter(format.dwRGBBitCount, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask);
    if (!Converter) return 0;
    DirectDraw->SetFramePlacement(PlaceBand);
    return 1;
}

FramePlacement PlaceBand(int screenWidth, int screenHeight) {
    const bool band = ModeHeight >= BandBottom;
    const int firstRow = band ? BandTop : 0, rows = band ? BandBottom - BandTop : ModeHeight;
    const BandPlace place = FitBand(screenWidth, screenHeight, ModeWidth, rows);
    return {firstRow, rows, place.x, place.y, place.width, place.height};
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // The music is left running: ending the process stops it.
        ShutdownDisplay();
        ExitProcess(0);
    case WM_ACTIVATEAPP:
        AppActive = static_cast<int>(wParam);
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ShutdownDisplay() {
    if (PrimarySurface) {
        PrimarySurface->Release();  // takes the back buffer with it
        PrimarySurface = nullptr;
        BackBuffer = nullptr;
    }
    if (DirectDraw) {
        DirectDraw->RestoreDisplayMode();
        DirectDraw->SetCooperativeLevel(MainWindow, DDSCL_NORMAL);
        DirectDraw->Release();
        DirectDraw = nullptr;
    }
    DestroyWindow(MainWindow);
    MainWindow = nullptr;
    if (DisplayLibrary) {
        FreeLibrary(DisplayLibrary);
        DisplayLibrary = nullptr;
    }
}
