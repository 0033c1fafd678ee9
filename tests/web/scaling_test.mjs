// Where the page puts the show's band, checked against the table the native
// show is checked against: the rule alone, then screenshots of the page in
// Chromium on emulated screens, every device pixel compared.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { openPage, pageModule, root, servedPage } from './browser.mjs';

const { fitBand } = await pageModule('fit.js');
const Frame = { ...await pageModule('show_facts.js') };

const cases = readFileSync(join(root, 'tests/scaling_cases.txt'), 'utf8').split('\n')
  .filter(line => line.trim() && !line.startsWith('#'))
  .map(line => {
    const [name, ...numbers] = line.trim().split(/\s+/);
    const [cssWidth, cssHeight, ratio, k, bandX, bandY, bandWidth, bandHeight] = numbers.map(Number);
    return { name, cssWidth, cssHeight, ratio, expected: { k, bandX, bandY, bandWidth, bandHeight } };
  });
const byName = name => cases.find(screen => screen.name === name);

test('the page\'s rule gives every row of the table', () => {
  assert.ok(cases.length >= 10);
  for (const { name, cssWidth, cssHeight, ratio, expected } of cases)
    assert.deepEqual(fitBand(cssWidth, cssHeight, ratio), expected, name);
});

const shared = servedPage();

function device({ cssWidth, cssHeight, ratio, name }) {
  const touch = /phone|tablet/.test(name);
  return { viewport: { width: cssWidth, height: cssHeight }, deviceScaleFactor: ratio, isMobile: touch, hasTouch: touch };
}

// Source pixel (x, y) of the band gets a colour of its own; the rows around
// the band stay black, as the show leaves them.
function drawPattern({ PictureWidth, PictureHeight, BandTop, BandBottom }) {
  document.getElementById('caption').style.display = 'none';
  const context = document.getElementById('screen').getContext('2d');
  const image = context.createImageData(PictureWidth, PictureHeight);
  for (let y = BandTop; y < BandBottom; ++y)
    for (let x = 0; x < PictureWidth; ++x) image.data.set([x & 255, y, 128 + (x >> 8), 255], (y * PictureWidth + x) * 4);
  context.putImageData(image, 0, 0);
}

// Compares every pixel of the screenshot with the band as the table places
// it and black around it; returns the count of differing pixels and the first.
async function compareScreenshot(page, png, { k, bandX, bandY, bandWidth, bandHeight }) {
  return page.evaluate(async ([base64, bandTop, k, bandX, bandY, bandWidth, bandHeight]) => {
    const bytes = Uint8Array.from(atob(base64), c => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes]), { colorSpaceConversion: 'none' });
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const pixels = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
    let differing = 0, first = null;
    for (let y = 0; y < bitmap.height; ++y)
      for (let x = 0; x < bitmap.width; ++x) {
        // Plain numbers, no array per pixel: a 4K screen has 8 million of them.
        let red = 0, green = 0, blue = 0;
        if (x >= bandX && x < bandX + bandWidth && y >= bandY && y < bandY + bandHeight) {
          const sx = Math.floor((x - bandX) / k);
          red = sx & 255;
          green = bandTop + Math.floor((y - bandY) / k);
          blue = 128 + (sx >> 8);
        }
        const at = (y * bitmap.width + x) * 4;
        if (pixels[at] !== red || pixels[at + 1] !== green || pixels[at + 2] !== blue) {
          if (!first) first = { x, y, want: [red, green, blue], got: [...pixels.subarray(at, at + 3)] };
          ++differing;
        }
      }
    return { width: bitmap.width, height: bitmap.height, differing, first };
  }, [png.toString('base64'), Frame.BandTop, k, bandX, bandY, bandWidth, bandHeight]);
}

const screens = ['desktop-1080p', 'laptop-150', 'laptop-125', 'phone-landscape', 'phone-portrait', 'tablet-landscape', 'monitor-4k'];

test('on each screen every source pixel is k x k device pixels, the band where the table puts it', async () => {
  for (const name of screens) {
    const screen = byName(name);
    const { page, context, log } = await openPage(shared.browser, shared.server.url, { device: device(screen), until: 'DemoPage.stage === "title"' });
    await page.evaluate(drawPattern, Frame);
    const result = await compareScreenshot(page, await page.screenshot(), screen.expected);
    assert.deepEqual([result.width, result.height], [Math.round(screen.cssWidth * screen.ratio), Math.round(screen.cssHeight * screen.ratio)], name);
    assert.equal(result.differing, 0, `${name}: ${result.differing} device pixels differ, first ${JSON.stringify(result.first)}`);
    assert.deepEqual(log.errors, []);
    await context.close();
  }
});

// The band's place in device pixels, from the canvas's layout box.
function bandOnScreen({ PictureWidth, BandTop, BandBottom }) {
  const box = document.getElementById('screen').getBoundingClientRect(), ratio = devicePixelRatio;
  const k = box.width * ratio / PictureWidth;
  return { k, bandX: box.left * ratio, bandY: box.top * ratio + BandTop * k, bandWidth: PictureWidth * k, bandHeight: (BandBottom - BandTop) * k };
}

// The page re-fits on the browser's next event, not at once: waits a while
// for the band to be where `expected` has it.
async function assertBand(page, expected) {
  await page.waitForFunction(`JSON.stringify((${bandOnScreen})(${JSON.stringify(Frame)})) === '${JSON.stringify(expected)}'`, null, { timeout: 3000 })
    .catch(() => {});
  assert.deepEqual(await page.evaluate(bandOnScreen, Frame), expected);
}

test('the page fits again on a rotation, a resize and a change of pixel ratio', async () => {
  const phone = byName('phone-landscape');
  const { page, context } = await openPage(shared.browser, shared.server.url, { device: device(phone), until: 'DemoPage.stage === "title"' });
  await assertBand(page, phone.expected);
  const portrait = byName('phone-portrait');
  await page.setViewportSize({ width: portrait.cssWidth, height: portrait.cssHeight });
  await assertBand(page, portrait.expected);
  await context.close();

  // The window moved to a monitor of twice the pixel ratio, same CSS size.
  const desktop = byName('desktop-1080p'), hidpi = byName('hidpi-4k');
  const wide = await openPage(shared.browser, shared.server.url, { device: device(desktop), until: 'DemoPage.stage === "title"' });
  await assertBand(wide.page, desktop.expected);
  const cdp = await wide.context.newCDPSession(wide.page);
  await cdp.send('Emulation.setDeviceMetricsOverride',
                 { width: hidpi.cssWidth, height: hidpi.cssHeight, deviceScaleFactor: hidpi.ratio, mobile: false });
  await assertBand(wide.page, hidpi.expected);
  await wide.context.close();
});
