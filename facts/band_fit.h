#pragma once
// Where the picture goes on a screen. What must fit is the letterbox band
// (the rows above and below it are always black): it is enlarged by the
// largest whole factor that fits, so that every picture pixel is k x k
// screen pixels, and centred on black. A screen too small to hold it once
// gets the largest fractional scale that fits instead. Sizes are in device
// pixels.

// A rectangle of the screen; `scale` is the whole factor, 0 below one.
struct BandPlace {
    int x, y, width, height;
    int scale;
};

// Places `width` x `height` picture pixels on a screen of screenWidth x
// screenHeight, positions rounded down, and below one the placed size too.
// Empty for an empty screen or picture.
BandPlace FitBand(int screenWidth, int screenHeight, int width, int height);
