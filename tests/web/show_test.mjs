// The show in the page, in Chromium: its frames against the native
// demo-frames byte for byte, the way from the title through the show to the
// end screen and into the show again, and files missing on the server.
// Run after scripts/web.sh --build-only: node --test tests/web/
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, symlinkSync } from 'node:fs';
import { join } from 'node:path';
import { assertSameFrames, canvasPixels, nativeFrames, openPage, pageDir, pageFrames, pageModule, pause, problemLines,
  servedPage, visibleText } from './browser.mjs';

const contentDir = join(pageDir, '../content');  // the content as the show reads it, before packing
const { PictureWidth: Width, PictureHeight: Height, BandTop, BandBottom, PictureFileNames } = await pageModule('show_facts.js');
// The start, a segment's last and first milliseconds, the cycle's turn, and
// clock readings far into a 32-bit run, in one carried-over sequence.
const Times = [0, 1234, 15999, 16000, 40000, 100017, 367999, 368000, 2000000000, 4294967295];

const shared = servedPage('page-test-');

// The packed files of the show's files `names`, missing on the server.
const Packed = { '05.raw': '05.webp', 'kimo.xm': 'kimo.xm.gz' };
const missing = names => Object.fromEntries(names.map(name => [Packed[name], route => route.fulfill({ status: 404 })]));

// Native frames from a folder holding the page's pictures but the `hidden` ones.
function framesWithout(times, hidden = []) {
  const content = mkdtempSync(join(shared.scratch, 'content-'));
  for (const name of PictureFileNames) if (!hidden.includes(name)) symlinkSync(join(contentDir, name), join(content, name));
  return nativeFrames(content, times);
}

function rowsAreBlack(pixels, first, last) {
  for (let i = first * Width * 4; i < last * Width * 4; i += 4)
    if (pixels[i] || pixels[i + 1] || pixels[i + 2] || pixels[i + 3] !== 255) return false;
  return true;
}

function bandDiffers(a, b) {
  for (let i = BandTop * Width * 4; i < BandBottom * Width * 4; ++i) if (a[i] !== b[i]) return true;
  return false;
}

const caption = page => visibleText(page, '#caption');

test('the page renders the frames demo-frames renders, byte for byte', async () => {
  const { page, context, log } = await openPage(shared.browser, shared.server.url);
  assertSameFrames(await pageFrames(page, Times), framesWithout(Times), Times);
  assert.deepEqual(log.errors, []);
  await context.close();
});

// Runs a show from a click to Escape: it moves, letterboxed, with music.
async function watchShow(page) {
  await page.mouse.click(400, 300);
  const reports = await page.evaluate(() => DemoPage.music.status.reports);
  await page.waitForFunction(([reports, frames]) => DemoPage.music.status.reports > reports + 20 && DemoPage.frames > frames + 10,
                             [reports, await page.evaluate(() => DemoPage.frames)], { timeout: 20000 });
  assert.equal(await caption(page), '', 'no caption over the show');
  const first = await canvasPixels(page);
  await pause(300);
  const second = await canvasPixels(page);
  assert.ok(rowsAreBlack(second, 0, BandTop) && rowsAreBlack(second, BandBottom, Height), 'letterboxed');
  assert.ok(!rowsAreBlack(second, BandTop, BandBottom), 'a picture in the band');
  assert.ok(bandDiffers(first, second), 'the picture moves');
  assert.equal(await page.evaluate(() => getComputedStyle(document.getElementById('screen')).cursor), 'none');
  const playing = await page.evaluate(() => ({ ...DemoPage.music.status }));
  assert.ok(playing.playing);
  await pause(200);
  assert.ok((await page.evaluate(() => DemoPage.music.status.reports)) > playing.reports, 'the worklet keeps playing');

  await page.keyboard.press('Escape');
  await page.waitForFunction(() => DemoPage.stage === 'ended', null, { timeout: 10000 });
  assert.equal(await page.evaluate(() => DemoPage.music.status.playing), false);
  const end = await canvasPixels(page);
  assert.ok(rowsAreBlack(end, 0, Height), 'the end screen\'s words are the page\'s, not the canvas\'s');
  assert.match(await caption(page), /The show has ended\.\s+click to watch it again/);
  await pause(200);
  assert.ok(!bandDiffers(end, await canvasPixels(page)), 'the end screen stays');
}

test('title, a click starts the show and its music, Escape ends it, a click starts it afresh', async () => {
  const { page, context, log } = await openPage(shared.browser, shared.server.url);

  // A still title: the first picture's band, dimmed, under the prompt and
  // the control that takes one's own files.
  assert.equal(await caption(page), 'click to start\n\nor play your own photos and music');
  const title = await canvasPixels(page);
  const picture = readFileSync(join(contentDir, PictureFileNames[0]));
  // A picture's pixel is the word 0x00RRGGBB, read here apart from the page's byte order.
  const at = (40 * Width + 10) * 4, word = picture.readUInt32LE(at);
  assert.deepEqual([...title.subarray(at, at + 3)], [16, 8, 0].map(shift => (word >>> shift & 255) >> 1));
  assert.ok(rowsAreBlack(title, 0, BandTop));
  await pause(300);
  assert.ok(!bandDiffers(title, await canvasPixels(page)), 'the title frame is still');
  assert.equal(await page.evaluate(() => DemoPage.music.status.reports), 0, 'no music before the click');

  await watchShow(page);
  // The program ended through its exit path; the next show is a new instance
  // of it, from its own start, and ends on Escape as the first did.
  await page.evaluate(() => { window.firstShow = Module; });
  await watchShow(page);
  assert.equal(await page.evaluate(() => Module !== window.firstShow), true);

  assert.deepEqual(log.errors, []);
  assert.deepEqual(log.messages.filter(line => line.startsWith('error')), []);
  await context.close();
});

test('a picture or module missing on the server: black slot, silent show, lines on the page', async () => {
  const hidden = ['05.raw', 'kimo.xm'];
  const { page, context, log } = await openPage(shared.browser, shared.server.url, { routes: missing(hidden) });
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => DemoPage.frames > 10, null, { timeout: 20000 });
  await pause(300);
  const lines = await problemLines(page);
  assert.ok(lines.some(line => /^demo: 05\.raw could not be loaded .*404.*: its picture stays black$/.test(line)), lines.join('\n'));
  assert.ok(lines.some(line => /^demo: kimo\.xm could not be loaded .*: the show plays silently$/.test(line)), lines.join('\n'));
  assert.ok(lines.every(line => line.startsWith('demo: ')), lines.join('\n'));
  assert.ok(log.messages.every(line => !line.includes('this.program')), log.messages.join('\n'));
  assert.equal(await page.evaluate(() => DemoPage.music.status.reports), 0);
  assert.ok(!rowsAreBlack(await canvasPixels(page), BandTop, BandBottom), 'the show goes on');
  assert.deepEqual(log.errors, []);
  await context.close();

  // The slot's own segment, as the native show draws it without the file.
  const slotTimes = [64000, 70000, 79999];
  const fresh = await openPage(shared.browser, shared.server.url, { routes: missing(hidden) });
  assertSameFrames(await pageFrames(fresh.page, slotTimes), framesWithout(slotTimes, hidden), slotTimes);
  await fresh.context.close();
});
