#include "platform/sdl/x11_window.h"

#ifdef _WIN32
// No X server to ask, nor errors from one.
unsigned long RootWindowNumber() { return 0; }
void EndWhenXWindowGoes() {}
#else
#include <X11/Xlib.h>

#include "platform/process.h"

unsigned long RootWindowNumber() {
    Display* x = XOpenDisplay(nullptr);
    if (!x) return 0;
    const unsigned long root = DefaultRootWindow(x);
    XCloseDisplay(x);
    return root;
}

void EndWhenXWindowGoes() {
    XSetErrorHandler([](Display*, XErrorEvent* error) {
        if (error->error_code == BadWindow || error->error_code == BadDrawable) ExitProcess(0);
        return 0;
    });
}
#endif
