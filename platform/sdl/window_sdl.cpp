// The window services on SDL: every window is an SDL window, hidden until
// the display device takes the screen with it, and SDL's events arrive as
// messages. With DEMO_WINDOW_ID set (an X window's number, or "root"), the
// show's window is that window instead, made by another program: a
// screensaver's.

#include <SDL.h>
#include <SDL_image.h>
#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_queue.h"
#include "platform/program_path.h"
#include "platform/sdl/x11_window.h"
#include "platform/sdl/sdl_window.h"
#include "platform/window_classes.h"

struct WindowObject {
    SDL_Window* sdl;
    WNDPROC procedure;
};

namespace {

WindowClasses Classes;
std::vector<std::unique_ptr<WindowObject>> Windows;
MessageQueue Queue;

// Key-downs are latched as SDL queues them, so that a press that has ended
// again by the next query still counts. SDL may call this on another thread.
std::atomic<bool> EscapePressed{false};
std::atomic<bool> AnyInputEnds{false};

// A screensaver ends on any key, click or a move of the mouse; a move of a
// few pixels, as a table knock gives, does not count.
bool EndsTheSaver(const SDL_Event& event) {
    static int startX = -1, startY = -1;
    constexpr int Slack = 8;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEWHEEL: return true;
    case SDL_MOUSEMOTION:
        if (startX < 0) {
            startX = event.motion.x;
            startY = event.motion.y;
        }
        return std::abs(event.motion.x - startX) > Slack || std::abs(event.motion.y - startY) > Slack;
    default: return false;
    }
}

int LatchEscape(void*, SDL_Event* event) {
    if (event->type == SDL_KEYDOWN && event->key.keysym.scancode == SDL_SCANCODE_ESCAPE) EscapePressed = true;
    if (AnyInputEnds && EndsTheSaver(*event)) EscapePressed = true;
    return 1;
}

HWND Find(HWND window) {
    for (const auto& candidate : Windows)
        if (candidate.get() == window) return window;
    return nullptr;
}

HWND FindById(Uint32 id) {
    for (const auto& candidate : Windows)
        if (SDL_GetWindowID(candidate->sdl) == id) return candidate.get();
    return nullptr;
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:  // a signal, or the last window closed
        for (const auto& window : Windows) Queue.Post(window.get(), WM_CLOSE, 0);
        break;
    case SDL_MOUSEMOTION: {
        const HWND window = FindById(event.motion.windowID);
        Queue.Post(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window));
        break;
    }
    case SDL_WINDOWEVENT: {
        const HWND window = FindById(event.window.windowID);
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: Queue.Post(window, WM_CLOSE, 0); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: Queue.Post(window, WM_ACTIVATEAPP, 1); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: Queue.Post(window, WM_ACTIVATEAPP, 0); break;
        case SDL_WINDOWEVENT_ENTER: Queue.Post(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window)); break;
        default: break;
        }
        break;
    }
    default: break;
    }
}

// The installed icon, found from the show's own place (SHOW_TO_ICON is the
// path from its folder); a show without it runs with the desktop's default.
void SetIcon(SDL_Window* window) {
    const std::string path = PathFromProgram(SHOW_TO_ICON);
    if (path.empty() || access(path.c_str(), R_OK) != 0) return;
    SDL_Surface* icon = IMG_Load(path.c_str());
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

// The window DEMO_WINDOW_ID names, taken over as it is; null when none is
// named. A number that names no window fails as a display that cannot be set up.
SDL_Window* GivenWindow(bool& named) {
    const char* id = std::getenv("DEMO_WINDOW_ID");
    named = id && *id;
    if (!named) return nullptr;
    unsigned long number = 0;
    if (std::strcmp(id, "root") == 0) {
        number = RootWindowNumber();
        if (number == 0) {
            SDL_SetError("no X display to find the root window on");
            return nullptr;
        }
    } else {
        char* end = nullptr;
        errno = 0;
        number = std::strtoul(id, &end, 0);
        if (errno || end == id || *end || number == 0) {
            SDL_SetError("DEMO_WINDOW_ID: not a window number: \"%s\"", id);
            return nullptr;
        }
    }
    // The software renderer, straight onto the window, draws on any visual;
    // the window's owner chose that visual, not SDL. Variables set by the user
    // win over these hints.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* window = SDL_CreateWindowFrom(reinterpret_cast<void*>(static_cast<uintptr_t>(number)));
    if (window) EndWhenXWindowGoes();
    return window;
}

}  // namespace

SDL_Window* SdlWindowOf(HWND window) { return Find(window) ? window->sdl : nullptr; }

void ReportDisplayFailure(const char* step) {
    static bool reported = false;
    if (reported) return;
    reported = true;
    std::fprintf(stderr, "%s: cannot set up the display: %s: %s\n", program_invocation_short_name, step, SDL_GetError());
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) { return Classes.Register(windowClass); }

HWND CreateWindowExA(DWORD, const char* className, const char* windowName, DWORD style, int x, int y, int width,
                     int height) {
    const WNDPROC procedure = Classes.ProcedureOf(className);
    if (!procedure) return nullptr;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ReportDisplayFailure("video");
        return nullptr;
    }
    // A full-screen window stays on screen when another one takes the focus;
    // the show only stops drawing.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // High-DPI: a scaled desktop gives the renderer its device pixels, not
    // the desktop's larger units.
    const Uint32 flags =
        SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | ((style & WS_POPUP) ? SDL_WINDOW_BORDERLESS : 0);
    bool given = false;
    SDL_Window* sdl = GivenWindow(given);
    if (!given)
        sdl = SDL_CreateWindow(windowName ? windowName : "", x, y, std::max(width, 1), std::max(height, 1), flags);
    if (!sdl) {
        ReportDisplayFailure(given ? "given window" : "window");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    if (!given) SetIcon(sdl);
    if (Windows.empty()) SDL_AddEventWatch(LatchEscape, nullptr);
    Windows.push_back(std::make_unique<WindowObject>(WindowObject{sdl, procedure}));
    // A screensaver's window never has the keyboard's focus, and needs none
    // to be shown: the show is active there from the start.
    if (given) Queue.Post(Windows.back().get(), WM_ACTIVATEAPP, 1);
    return Windows.back().get();
}

BOOL DestroyWindow(HWND window) {
    const auto found = std::find_if(Windows.begin(), Windows.end(), [&](const auto& w) { return w.get() == window; });
    if (found == Windows.end()) return FALSE;
    SDL_DestroyWindow(window->sdl);
    Queue.Drop(window);
    Windows.erase(found);
    if (Windows.empty()) SDL_DelEventWatch(LatchEscape, nullptr);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return TRUE;
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    if (!Windows.empty()) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) Translate(event);
    }
    return Queue.Peek(message, window, filterMin, filterMax, remove);
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* message) {
    const HWND window = Find(message->hwnd);
    return window ? window->procedure(window, message->message, message->wParam, message->lParam) : 0;
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }

HCURSOR SetCursor(HCURSOR cursor) {
    SDL_ShowCursor(cursor ? SDL_ENABLE : SDL_DISABLE);
    return nullptr;
}

void EndOnAnyInput() { AnyInputEnds = true; }

SHORT GetAsyncKeyState(int virtualKey) {
    if (virtualKey != VK_ESCAPE) return 0;
    if (!Windows.empty()) SDL_PumpEvents();
    const bool down = SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE] != 0;
    const bool pressed = EscapePressed.exchange(false);
    return static_cast<SHORT>((down ? 0x8000 : 0) | (pressed ? 1 : 0));
}
