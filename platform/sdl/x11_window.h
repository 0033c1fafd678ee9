#pragma once
// What the SDL window stand-in asks of Xlib itself for a window another
// program made. Xlib's names clash with the stand-in's, so they stay apart.

// The root window of the X display DISPLAY names; 0 without one.
unsigned long RootWindowNumber();

// From now on, an X error about a window or drawable (the given window gone,
// taken away by the screensaver that made it) ends the process at once with
// exit code 0, as its screensaver has ended. Other X errors are ignored. SDL's
// own handler would ask the X server more from inside the error and hang.
void EndWhenXWindowGoes();
