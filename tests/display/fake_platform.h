#pragma once
// Test doubles for the platform services the display code calls: a window
// system that serves queued messages, a process whose end throws, and a
// display device whose every step can be made to fail and whose flip paints
// a screen of 32-bit pixels. Every call is recorded in Fake.calls.

#include <set>
#include <string>
#include <vector>

#include "platform/ddraw.h"
#include "platform/library.h"
#include "platform/message_queue.h"
#include "platform/window.h"
#include "platform/window_classes.h"

// Thrown by ExitProcess, so that a test can watch the process end.
struct ProcessExit {
    UINT code;
};

class FakeSurface final : public IDirectDrawSurface {
public:
    explicit FakeSurface(const char* name) : name(name) {}
    ULONG Release() override;
    HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** attached) override;
    HRESULT GetPixelFormat(DDPIXELFORMAT* format) override;
    HRESULT Restore() override;
    HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, void* event) override;
    HRESULT Unlock(void* surfaceData) override;
    HRESULT Flip(IDirectDrawSurface* target, DWORD flags) override;
    const char* name;
};

class FakeDirectDraw final : public IDirectDraw {
public:
    ULONG Release() override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override;
    HRESULT RestoreDisplayMode() override;
    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) override;
    HRESULT SetFramePlacement(PlaceFrame place) override;
};

struct FakePlatform {
    std::vector<std::string> calls;

    // What the doubles do; the defaults give a working 32-bit display.
    bool libraryLoads = true;
    bool hasDirectDrawCreate = true;
    HRESULT createResult = DD_OK;
    HRESULT cooperativeResult = DD_OK;
    std::set<DWORD> depths = {32, 24, 16};
    std::set<DWORD> backBufferCounts = {2, 1, 0};  // 0 stands for the plain primary
    HRESULT pixelFormatResult = DD_OK;
    DDPIXELFORMAT pixelFormat = {32, DDPF_RGB, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
    HRESULT lockResult = DD_OK;
    LONG pitch = 1280;
    std::vector<uint8_t> surfaceMemory;  // what Lock hands out, pitch x the mode's rows
    MessageQueue messages;               // served by PeekMessageA

    // What a flip shows: the back buffer's memory read as 32-bit pixels and
    // placed as the display asked, nearest sampled, black elsewhere.
    int screenWidth = 1920, screenHeight = 1080;
    std::vector<uint32_t> screen;
    PlaceFrame place = nullptr;

    bool primaryFlips = false;  // whether the primary came with back buffers
    int modeWidth = 0, modeHeight = 0;
    WindowClasses classes;
    FakeDirectDraw directDraw;
    FakeSurface primary{"primary"};
    FakeSurface backBuffer{"back buffer"};
};

extern FakePlatform Fake;

HWND FakeWindow();
void ResetFake();  // back to the defaults, and the display state to empty
