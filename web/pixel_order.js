// The byte order of the show's pictures and frames, for the page, the packer
// and the tests. A pixel is the little-endian word 0xSSRRGGBB, so its bytes
// are blue, green, red and a spare byte; a canvas's are red, green, blue,
// alpha, and an image file's red, green, blue.

// Where each colour, and the spare byte, is among a pixel's four bytes.
export const Red = 2, Green = 1, Blue = 0, Spare = 3;

// `picture`'s pixels into `out` as red, green, blue bytes, or as a canvas's
// bytes, opaque, when `out` has four for each pixel.
export function pictureToRgb(picture, out) {
  const step = out.length / (picture.length / 4);
  for (let i = 0, j = 0; i < picture.length; i += 4, j += step) {
    out[j] = picture[i + Red];
    out[j + 1] = picture[i + Green];
    out[j + 2] = picture[i + Blue];
    if (step === 4) out[j + 3] = 255;
  }
  return out;
}

// A canvas's red, green, blue, alpha bytes as a picture's, spare bytes 0.
export function rgbaToPicture(rgba) {
  const picture = new Uint8Array(rgba.length);
  for (let i = 0; i < rgba.length; i += 4) {
    picture[i + Red] = rgba[i];
    picture[i + Green] = rgba[i + 1];
    picture[i + Blue] = rgba[i + 2];
  }
  return picture;
}
