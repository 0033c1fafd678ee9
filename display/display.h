#pragma once
// The window and the exclusive full-screen display with its flipping
// surfaces: set-up, the window procedure and release.

#include "display/converters.h"
#include "platform/ddraw.h"
#include "platform/library.h"
#include "platform/window.h"

// Display state, empty until InitDisplay.
extern HMODULE DisplayLibrary;
extern IDirectDraw* DirectDraw;
extern HWND MainWindow;
extern WNDCLASSA WindowClass;
extern IDirectDrawSurface* PrimarySurface;
extern IDirectDrawSurface* BackBuffer;  // part of the primary's flipping chain
extern int FrameWidth;                  // pixels per presented row
extern int FrameHeight;                 // presented rows
extern int AppActive;                   // nothing is presented while 0

// Creates the window `title` (also its class name), takes the screen at
// width x height in 32, 24 or 16 bits per pixel with a flipping back buffer,
// and selects the Converter. 1 on success; 0 on failure, leaving whatever was
// already created in place.
int InitDisplay(const char* title, int width, int height);

// A close request releases the display and ends the process with exit code 0;
// activation changes set AppActive; cursor requests hide the cursor.
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the screen back and destroys the window.
void ShutdownDisplay();
