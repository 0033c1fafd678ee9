#pragma once
// The messages posted to a window system's windows and not yet fetched, kept
// alike by every window stand-in.

#include <deque>

#include "platform/window.h"

class MessageQueue {
public:
    // Nothing is posted to a null window.
    void Post(HWND window, UINT message, WPARAM wParam);
    // PeekMessageA's choice and removal: the oldest message for `window` (any
    // window when null) numbered in [filterMin, filterMax] (any when both are 0).
    BOOL Peek(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove);
    // A destroyed window's pending messages go with it.
    void Drop(HWND window);

private:
    std::deque<MSG> messages;
};
