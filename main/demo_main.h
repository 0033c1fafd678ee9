#pragma once

// Runs the whole show: loads the pictures, takes the screen, starts the
// music and presents frames until Escape is pressed. Ends the process with
// exit code 0; returns 1 when the display cannot be set up.
int DemoMain();
