#pragma once
// The window and the exclusive full-screen display with its flipping
// surfaces: set-up, the window procedure and release.
//
// The platform's services called here and in present.cpp, and what their
// stand-ins in platform/sdl/ do (the display's tests link recording doubles
// instead, tests/display/fake_platform.h):
//   LoadLibraryA, GetProcAddress  "ddraw.dll" is built in; its export
//                                 DirectDrawCreate makes the SDL display device
//   RegisterClassA, CreateWindowExA  an SDL window, hidden until the display
//                                 takes the screen
//   SetCooperativeLevel           exclusive: the window covers its screen at the
//                                 desktop's own size, no mode is changed;
//                                 normal: it leaves full screen and hides
//   SetDisplayMode                the frame's size, and the texture's pixel
//                                 format for the depth (32, 24 or 16 bits)
//   CreateSurface                 a renderer paced by vertical sync, and a
//                                 streaming texture as the back buffer
//   Lock, Unlock                  the texture's memory, write-only; its pitch
//                                 may exceed a row
//   SetFramePlacement             remembers PlaceBand, which the device asks
//                                 at every flip
//   Flip                          the texture's rows that PlaceBand names,
//                                 scaled into its rectangle, black around
//                                 them, shown
//   PeekMessageA                  SDL's events as messages: quit and close as
//                                 WM_CLOSE, focus as WM_ACTIVATEAPP, the
//                                 pointer's arrival as WM_SETCURSOR
//   SetCursor(nullptr)            hides the mouse pointer
//   Sleep, ExitProcess            yield or sleep; flush the standard streams
//                                 and end the process at once

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
extern int ModeWidth;                   // pixels per presented row
extern int ModeHeight;                  // presented rows
extern int AppActive;                   // nothing is presented while 0

// Creates the window `title` (also its class name), takes the screen at
// width x height in 32, 24 or 16 bits per pixel with a flipping back buffer,
// selects the Converter and tells the device PlaceBand. 1 on success; 0 on
// failure, leaving whatever was already created in place.
int InitDisplay(const char* title, int width, int height);

// What a screen of screenWidth x screenHeight device pixels shows of the
// mode: its letterbox band (the whole mode when it is too short to hold the
// band) where FitBand puts it.
FramePlacement PlaceBand(int screenWidth, int screenHeight);

// A close request releases the display and ends the process with exit code 0;
// activation changes set AppActive; cursor requests hide the cursor.
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the screen back and destroys the window.
void ShutdownDisplay();
