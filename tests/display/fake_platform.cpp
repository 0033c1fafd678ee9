#include "tests/display/fake_platform.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "display/display.h"

FakePlatform Fake;

struct WindowObject {
    WNDPROC procedure;
};
struct ModuleObject {};

namespace {

WindowObject Window;
ModuleObject Library;

// A call without arguments is its own line, not a format.
void Record(const char* line) { Fake.calls.emplace_back(line); }

void Record(const char* format, auto... args) {
    char line[160];
    std::snprintf(line, sizeof line, format, args...);
    Fake.calls.emplace_back(line);
}

HRESULT FakeDirectDrawCreate(GUID* driver, IDirectDraw** directDraw, void* outer) {
    Record("DirectDrawCreate %p %p", static_cast<void*>(driver), outer);
    *directDraw = FAILED(Fake.createResult) ? nullptr : &Fake.directDraw;
    return Fake.createResult;
}

}  // namespace

HWND FakeWindow() { return &Window; }

void ResetFake() {
    Fake = FakePlatform{};
    DisplayLibrary = nullptr;
    DirectDraw = nullptr;
    MainWindow = nullptr;
    WindowClass = {};
    PrimarySurface = nullptr;
    BackBuffer = nullptr;
    ModeWidth = ModeHeight = 0;
    AppActive = 0;
    Converter = nullptr;
}

HMODULE LoadLibraryA(const char* fileName) {
    Record("LoadLibraryA %s", fileName);
    return Fake.libraryLoads ? &Library : nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
    Record("GetProcAddress %s", procName);
    return module == &Library && Fake.hasDirectDrawCreate ? reinterpret_cast<FARPROC>(FakeDirectDrawCreate) : nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    Record("FreeLibrary %s", module == &Library ? "ddraw" : "?");
    return TRUE;
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    Record("RegisterClassA %s style %u", windowClass->lpszClassName, windowClass->style);
    return Fake.classes.Register(windowClass);
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                     int width, int height) {
    Record("CreateWindowExA %u %s %s %#x %d,%d %dx%d", exStyle, className, windowName, style, x, y, width, height);
    Window.procedure = Fake.classes.ProcedureOf(className);
    return &Window;
}

BOOL DestroyWindow(HWND window) {
    Record("DestroyWindow %s", window == &Window ? "main" : "?");
    Fake.messages.Drop(window);
    return TRUE;
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    Record("PeekMessageA %s %u %u %u", window == &Window ? "main" : "?", filterMin, filterMax, remove);
    return Fake.messages.Peek(message, window, filterMin, filterMax, remove);
}

BOOL TranslateMessage(const MSG* message) {
    Record("TranslateMessage %#x", message->message);
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message) {
    Record("DispatchMessageA %#x", message->message);
    return Window.procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Record("DefWindowProcA %s %#x %lu %ld", window == &Window ? "main" : "?", message,
           static_cast<unsigned long>(wParam), static_cast<long>(lParam));
    return 1234;
}

HCURSOR SetCursor(HCURSOR cursor) {
    Record("SetCursor %p", static_cast<void*>(cursor));
    return nullptr;
}

void Sleep(DWORD milliseconds) { Record("Sleep %u", milliseconds); }

void ExitProcess(UINT exitCode) {
    Record("ExitProcess %u", exitCode);
    throw ProcessExit{exitCode};
}

ULONG FakeDirectDraw::Release() {
    Record("DirectDraw Release");
    return 0;
}

HRESULT FakeDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    Record("SetCooperativeLevel %s %#x", window == &Window ? "main" : "?", flags);
    return Fake.cooperativeResult;
}

HRESULT FakeDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
    Record("SetDisplayMode %ux%ux%u", width, height, bitsPerPixel);
    if (!Fake.depths.count(bitsPerPixel)) return DDERR_UNSUPPORTED;
    Fake.modeWidth = static_cast<int>(width);
    Fake.modeHeight = static_cast<int>(height);
    return DD_OK;
}

HRESULT FakeDirectDraw::RestoreDisplayMode() {
    Record("RestoreDisplayMode");
    return DD_OK;
}

HRESULT FakeDirectDraw::SetFramePlacement(PlaceFrame place) {
    Record("SetFramePlacement");
    Fake.place = place;
    return DD_OK;
}

HRESULT FakeDirectDraw::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) {
    Record("CreateSurface size %u flags %#x count %u caps %#x outer %p", desc->dwSize, desc->dwFlags,
           desc->dwBackBufferCount, desc->ddsCaps.dwCaps, outer);
    const DWORD count = (desc->dwFlags & DDSD_BACKBUFFERCOUNT) ? desc->dwBackBufferCount : 0;
    if (!Fake.backBufferCounts.count(count)) return DDERR_UNSUPPORTED;
    Fake.primaryFlips = count > 0;
    *surface = &Fake.primary;
    return DD_OK;
}

ULONG FakeSurface::Release() {
    Record("%s Release", name);
    return 0;
}

HRESULT FakeSurface::GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** attached) {
    Record("%s GetAttachedSurface %#x", name, caps->dwCaps);
    if (!Fake.primaryFlips) return DDERR_NOTFOUND;  // a plain primary has no back buffer
    *attached = &Fake.backBuffer;
    return DD_OK;
}

HRESULT FakeSurface::GetPixelFormat(DDPIXELFORMAT* format) {
    Record("%s GetPixelFormat size %u", name, format->dwSize);
    if (FAILED(Fake.pixelFormatResult)) return Fake.pixelFormatResult;
    *format = Fake.pixelFormat;
    return DD_OK;
}

HRESULT FakeSurface::Restore() {
    Record("%s Restore", name);
    return DD_OK;
}

HRESULT FakeSurface::Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, void* event) {
    Record("%s Lock %p size %u flags %u %p", name, static_cast<void*>(rect), desc->dwSize, flags, event);
    if (FAILED(Fake.lockResult)) return Fake.lockResult;
    Fake.surfaceMemory.resize(static_cast<size_t>(Fake.pitch) * Fake.modeHeight);
    desc->lPitch = Fake.pitch;
    desc->lpSurface = Fake.surfaceMemory.data();
    return DD_OK;
}

HRESULT FakeSurface::Unlock(void* surfaceData) {
    Record("%s Unlock %s", name, surfaceData == Fake.surfaceMemory.data() ? "memory" : "?");
    return DD_OK;
}

HRESULT FakeSurface::Flip(IDirectDrawSurface* target, DWORD flags) {
    Record("%s Flip %p %u", name, static_cast<void*>(target), flags);
    Fake.screen.assign(static_cast<size_t>(Fake.screenWidth) * Fake.screenHeight, 0);
    if (!Fake.place) return DD_OK;
    const FramePlacement placed = Fake.place(Fake.screenWidth, Fake.screenHeight);
    for (int y = 0; y < placed.height; ++y) {
        const int row = placed.firstRow + y * placed.rows / placed.height;
        for (int x = 0; x < placed.width; ++x) {
            const int column = x * Fake.modeWidth / placed.width;
            uint32_t pixel;
            std::memcpy(&pixel, Fake.surfaceMemory.data() + row * Fake.pitch + column * 4, 4);
            Fake.screen[(placed.y + y) * Fake.screenWidth + placed.x + x] = pixel;
        }
    }
    return DD_OK;
}
