#pragma once

#include "facts/picture.h"

// Handles the window's pending messages and, while the application is active,
// converts `picture` into the back buffer and flips it to the screen.
// Returns 0 when the back buffer cannot be locked, 1 otherwise.
int PresentFrame(const Picture& picture);
