// The window services on a web page: the page's canvas is the one window
// there can be, and the page's events, which the stand-in's page half
// (window_web.js) listens for, arrive as messages.

#include "platform/message_queue.h"
#include "platform/web/page_contract.h"
#include "platform/window_classes.h"

// The page half: takes the page's events for the canvas, or stops.
extern "C" void DemoAttachCanvas(int attach);
extern "C" void DemoShowCursor(int show);

struct WindowObject {
    WNDPROC procedure;
};

namespace {

WindowClasses Classes;
WindowObject Canvas;
bool CanvasTaken = false;
MessageQueue Queue;
bool EscapeDown = false;
bool EscapePressed = false;  // since the last query

HWND TheWindow() { return CanvasTaken ? &Canvas : nullptr; }

void Post(UINT message, WPARAM wParam) { Queue.Post(TheWindow(), message, wParam); }

}  // namespace

// Called by the page half's event listeners.
void DemoPageEvent(int event) {
    switch (event) {
    case PageEscapeDown:
        EscapeDown = EscapePressed = true;
        break;
    case PageEscapeUp: EscapeDown = false; break;
    case PagePointerOver: Post(WM_SETCURSOR, reinterpret_cast<WPARAM>(TheWindow())); break;
    case PageShown: Post(WM_ACTIVATEAPP, 1); break;
    case PageHidden: Post(WM_ACTIVATEAPP, 0); break;
    default: break;
    }
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) { return Classes.Register(windowClass); }

// The page shows the canvas at once; it starts active when the page is
// visible, as a window that has the focus.
HWND CreateWindowExA(DWORD, const char* className, const char*, DWORD, int, int, int, int) {
    const WNDPROC procedure = Classes.ProcedureOf(className);
    if (!procedure || CanvasTaken) return nullptr;
    Canvas = {procedure};
    CanvasTaken = true;
    DemoAttachCanvas(1);
    return &Canvas;
}

BOOL DestroyWindow(HWND window) {
    if (!window || window != TheWindow()) return FALSE;
    DemoAttachCanvas(0);
    DemoShowCursor(1);
    Queue.Drop(window);
    CanvasTaken = false;
    return TRUE;
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    return Queue.Peek(message, window, filterMin, filterMax, remove);
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* message) {
    return message->hwnd && message->hwnd == TheWindow()
               ? Canvas.procedure(message->hwnd, message->message, message->wParam, message->lParam)
               : 0;
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }

HCURSOR SetCursor(HCURSOR cursor) {
    DemoShowCursor(cursor ? 1 : 0);
    return nullptr;
}

SHORT GetAsyncKeyState(int virtualKey) {
    if (virtualKey != VK_ESCAPE) return 0;
    const bool pressed = EscapePressed;
    EscapePressed = false;
    return static_cast<SHORT>((EscapeDown ? 0x8000 : 0) | (pressed ? 1 : 0));
}
