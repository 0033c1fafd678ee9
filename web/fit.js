// Where the show's frame goes on the screen. Only the band of rows 32..207
// of the 320 x 240 frame is ever drawn, so the band is what must fit: at the
// largest whole scale k with 320k x 176k device pixels on the screen, every
// source pixel is then exactly k x k device pixels; a screen too small for
// k = 1 gets the largest scale that fits. The band is centred, positions and
// a fractional band's size rounded down; the black rows around it may run
// off the screen.

import { BandBottom, BandTop, PictureHeight, PictureWidth } from './show_facts.js';

const BandHeight = BandBottom - BandTop;

// Everything in device pixels: the screen is CSS size x pixel ratio.
export function fitBand(cssWidth, cssHeight, ratio) {
  const width = Math.round(cssWidth * ratio), height = Math.round(cssHeight * ratio);
  const fit = Math.min(width / PictureWidth, height / BandHeight);
  const k = fit >= 1 ? Math.floor(fit) : fit;
  const bandWidth = Math.floor(PictureWidth * k), bandHeight = Math.floor(BandHeight * k);
  return {
    k,
    bandX: Math.floor((width - bandWidth) / 2),
    bandY: Math.floor((height - bandHeight) / 2),
    bandWidth,
    bandHeight,
  };
}

// Places `canvas` (the whole frame, fixed on the page) by that rule.
export function fitCanvas(canvas, cssWidth, cssHeight, ratio) {
  const { k, bandX, bandY } = fitBand(cssWidth, cssHeight, ratio);
  const css = devicePixels => `${devicePixels / ratio}px`;
  canvas.style.left = css(bandX);
  canvas.style.top = css(bandY - BandTop * k);
  canvas.style.width = css(PictureWidth * k);
  canvas.style.height = css(PictureHeight * k);
}
