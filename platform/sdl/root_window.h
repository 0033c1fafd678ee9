#pragma once
// Xlib's names clash with the window stand-in's, so its one use here is kept
// apart.

// The root window of the X display DISPLAY names; 0 without one.
unsigned long RootWindowNumber();
