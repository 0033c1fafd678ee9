// The SDL window stand-in under SDL's dummy video driver, fed with
// synthetic SDL events.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/sdl/sdl_window.h"

namespace {

struct Delivered {
    HWND window;
    UINT message;
    WPARAM wParam;
    bool operator==(const Delivered&) const = default;
};
std::vector<Delivered> Received;

LRESULT Record(HWND window, UINT message, WPARAM wParam, LPARAM) {
    Received.push_back({window, message, wParam});
    return 7;
}

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        static const WNDCLASSA windowClass = {0, Record, "window test"};
        RegisterClassA(&windowClass);  // once per process; later calls find it registered
        window = CreateWindowExA(0, "window test", "title", WS_POPUP, 0, 0, 0, 0);
        ASSERT_NE(window, nullptr);
        Drain();
        Received.clear();
    }
    void TearDown() override { DestroyWindow(window); }

    // As the show's message pump does; translation must add no messages.
    static void Drain() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            EXPECT_FALSE(TranslateMessage(&message));
            DispatchMessageA(&message);
        }
    }
    Uint32 Id() const { return SDL_GetWindowID(SdlWindowOf(window)); }
    void PushWindowEvent(Uint8 what) const {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = Id();
        event.window.event = what;
        SDL_PushEvent(&event);
    }
    static void PushKey(Uint32 type, SDL_Scancode key) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = key;
        SDL_PushEvent(&event);
    }

    HWND window = nullptr;
};

TEST_F(Window, ClassesAreRegisteredOnceAndNeedAProcedureAndName) {
    const WNDCLASSA same = {0, Record, "window test"};
    const WNDCLASSA noProcedure = {0, nullptr, "other"};
    const WNDCLASSA noName = {0, Record, nullptr};
    EXPECT_EQ(RegisterClassA(&same), 0);
    EXPECT_EQ(RegisterClassA(&noProcedure), 0);
    EXPECT_EQ(RegisterClassA(&noName), 0);
    EXPECT_EQ(CreateWindowExA(0, "unknown class", "title", WS_POPUP, 0, 0, 0, 0), nullptr);
}

TEST_F(Window, SdlEventsBecomeTheWindowsMessages) {
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_ENTER);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = Id();
    SDL_PushEvent(&motion);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    PushWindowEvent(SDL_WINDOWEVENT_MOVED);  // not one of the window's messages
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_A);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&message), 7);
    Drain();
    const WPARAM self = reinterpret_cast<WPARAM>(window);
    EXPECT_EQ(Received, (std::vector<Delivered>{{window, WM_ACTIVATEAPP, 1},
                                                {window, WM_ACTIVATEAPP, 0},
                                                {window, WM_SETCURSOR, self},
                                                {window, WM_SETCURSOR, self},
                                                {window, WM_CLOSE, 0},
                                                {window, WM_CLOSE, 0}}));
}

TEST_F(Window, PeekingFiltersByWindowAndMessageAndCanLeaveTheMessageQueued) {
    const HWND other = CreateWindowExA(0, "window test", "other", WS_POPUP, 0, 0, 0, 0);
    ASSERT_NE(other, nullptr);
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    focus.window.windowID = SDL_GetWindowID(SdlWindowOf(other));
    SDL_PushEvent(&focus);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, 0, 0, 0));  // left queued
    EXPECT_EQ(message.message, WM_CLOSE);
    EXPECT_FALSE(PeekMessageA(&message, window, WM_ACTIVATEAPP, WM_SETCURSOR, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_CLOSE);
    EXPECT_FALSE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));

    EXPECT_TRUE(DestroyWindow(other));  // its pending activation goes with it
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(DestroyWindow(other));
    message.hwnd = other;
    EXPECT_EQ(DispatchMessageA(&message), 0);
}

TEST_F(Window, EscapeCountsAPressThatEndedBeforeTheQuery) {
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE);
    PushKey(SDL_KEYUP, SDL_SCANCODE_ESCAPE);
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);  // counted once
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GetAsyncKeyState(0x20), 0);  // only Escape is known
}

TEST_F(Window, LastWindowGoneReleasesTheVideoSystem) {
    DestroyWindow(window);
    window = nullptr;
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

}  // namespace
