#include "platform/sdl/root_window.h"

#ifdef _WIN32
unsigned long RootWindowNumber() { return 0; }  // no X server to ask
#else
#include <X11/Xlib.h>

unsigned long RootWindowNumber() {
    Display* x = XOpenDisplay(nullptr);
    if (!x) return 0;
    const unsigned long root = DefaultRootWindow(x);
    XCloseDisplay(x);
    return root;
}
#endif
