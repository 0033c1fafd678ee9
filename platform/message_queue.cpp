#include "platform/message_queue.h"

#include <algorithm>

void MessageQueue::Post(HWND window, UINT message, WPARAM wParam) {
    if (window) messages.push_back({window, message, wParam, 0});
}

BOOL MessageQueue::Peek(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    const auto found = std::find_if(messages.begin(), messages.end(), [&](const MSG& m) {
        return (!window || m.hwnd == window) &&
               ((filterMin == 0 && filterMax == 0) || (m.message >= filterMin && m.message <= filterMax));
    });
    if (found == messages.end()) return FALSE;
    *message = *found;
    if (remove & PM_REMOVE) messages.erase(found);
    return TRUE;
}

void MessageQueue::Drop(HWND window) {
    std::erase_if(messages, [&](const MSG& message) { return message.hwnd == window; });
}
