#include <SDL.h>
#include <errno.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/sdl_window.h"

struct WindowObject {
    SDL_Window* sdl;
    WNDPROC procedure;
};

namespace {

std::map<std::string, WNDPROC> Classes;
std::vector<std::unique_ptr<WindowObject>> Windows;
std::deque<MSG> Queue;

// Key-downs are latched as SDL queues them, so that a press that has ended
// again by the next query still counts. SDL may call this on another thread.
std::atomic<bool> EscapePressed{false};

int LatchEscape(void*, SDL_Event* event) {
    if (event->type == SDL_KEYDOWN && event->key.keysym.scancode == SDL_SCANCODE_ESCAPE) EscapePressed = true;
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

void Post(HWND window, UINT message, WPARAM wParam) {
    if (window) Queue.push_back({window, message, wParam, 0});
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:  // a signal, or the last window closed
        for (const auto& window : Windows) Post(window.get(), WM_CLOSE, 0);
        break;
    case SDL_MOUSEMOTION: {
        const HWND window = FindById(event.motion.windowID);
        Post(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window));
        break;
    }
    case SDL_WINDOWEVENT: {
        const HWND window = FindById(event.window.windowID);
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: Post(window, WM_CLOSE, 0); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: Post(window, WM_ACTIVATEAPP, 1); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: Post(window, WM_ACTIVATEAPP, 0); break;
        case SDL_WINDOWEVENT_ENTER: Post(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window)); break;
        default: break;
        }
        break;
    }
    default: break;
    }
}

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (window && message.hwnd != window) return false;
    return (filterMin == 0 && filterMax == 0) || (message.message >= filterMin && message.message <= filterMax);
}

}  // namespace

SDL_Window* SdlWindowOf(HWND window) { return Find(window) ? window->sdl : nullptr; }

void ReportDisplayFailure(const char* step) {
    static bool reported = false;
    if (reported) return;
    reported = true;
    std::fprintf(stderr, "%s: cannot set up the display: %s: %s\n", program_invocation_short_name, step, SDL_GetError());
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName) return 0;
    if (!Classes.emplace(windowClass->lpszClassName, windowClass->lpfnWndProc).second) return 0;
    return static_cast<ATOM>(Classes.size());
}

HWND CreateWindowExA(DWORD, const char* className, const char* windowName, DWORD style, int x, int y, int width,
                     int height) {
    const auto windowClass = className ? Classes.find(className) : Classes.end();
    if (windowClass == Classes.end()) return nullptr;
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
    SDL_Window* sdl = SDL_CreateWindow(windowName ? windowName : "", x, y, std::max(width, 1), std::max(height, 1), flags);
    if (!sdl) {
        ReportDisplayFailure("window");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    if (Windows.empty()) SDL_AddEventWatch(LatchEscape, nullptr);
    Windows.push_back(std::make_unique<WindowObject>(WindowObject{sdl, windowClass->second}));
    return Windows.back().get();
}

BOOL DestroyWindow(HWND window) {
    const auto found = std::find_if(Windows.begin(), Windows.end(), [&](const auto& w) { return w.get() == window; });
    if (found == Windows.end()) return FALSE;
    SDL_DestroyWindow(window->sdl);
    std::erase_if(Queue, [&](const MSG& message) { return message.hwnd == window; });
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
    const auto found = std::find_if(Queue.begin(), Queue.end(),
                                    [&](const MSG& m) { return Matches(m, window, filterMin, filterMax); });
    if (found == Queue.end()) return FALSE;
    *message = *found;
    if (remove & PM_REMOVE) Queue.erase(found);
    return TRUE;
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

SHORT GetAsyncKeyState(int virtualKey) {
    if (virtualKey != VK_ESCAPE) return 0;
    if (!Windows.empty()) SDL_PumpEvents();
    const bool down = SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE] != 0;
    const bool pressed = EscapePressed.exchange(false);
    return static_cast<SHORT>((down ? 0x8000 : 0) | (pressed ? 1 : 0));
}
