#pragma once
// Windows-style window services: a window class with its window procedure,
// windows, the message queue, the cursor and the keyboard. They run on SDL
// (sdl/window_sdl.cpp) or on a web page's canvas (web/window_web.cpp); the
// display's tests link recording doubles. All keep the classes and the queue
// alike (window_classes.h, message_queue.h).

#include <cstdint>

#include "platform/types.h"

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
using HWND = struct WindowObject*;
using HCURSOR = struct CursorObject*;
using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Messages the stand-in delivers: a close request, activation changes
// (wParam 1 active, 0 inactive) and cursor requests (wParam the window).
constexpr UINT WM_CLOSE = 0x10;
constexpr UINT WM_ACTIVATEAPP = 0x1C;
constexpr UINT WM_SETCURSOR = 0x20;

constexpr DWORD WS_POPUP = 0x80000000;  // no frame, no title bar
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr UINT PM_REMOVE = 1;
constexpr int VK_ESCAPE = 0x1B;

// No icons, cursors, brushes, menus or module instances exist here, so a class
// is its style, its window procedure and its name.
struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    const char* lpszClassName;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Returns 0 when the class is already registered or has no procedure or name.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
// Null when the class is unknown or the window system cannot make the window.
// The window need not be visible before the display device takes the screen
// with it.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                     int width, int height);
BOOL DestroyWindow(HWND window);

// Fetches the next pending message for `window` (any window when null) whose
// number lies in [filterMin, filterMax] (any when both are 0); non-zero if
// there was one. PM_REMOVE takes it off the queue.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove);
// Turns key messages into character messages. The stand-ins deliver no key
// messages, so there is never anything to translate and the result is 0.
BOOL TranslateMessage(const MSG* message);
// Hands the message to its window's procedure and returns its result.
LRESULT DispatchMessageA(const MSG* message);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A null cursor hides the mouse pointer over the show's windows. Returns the
// previous cursor, which is always null: there are no cursor shapes here.
HCURSOR SetCursor(HCURSOR cursor);

// Bit 15 set while the key is down, bit 0 set when it was pressed since the
// previous query (even if already released). Only VK_ESCAPE is known.
SHORT GetAsyncKeyState(int virtualKey);
