// The show's page in a real browser: Debian's Chromium, headless, driven by
// Playwright, on the page as scripts/web.sh builds it (build-web/page),
// served here. Frames are compared with the native demo-frames byte for byte.
// Run: node --test tests/web/page_test.mjs (after scripts/web.sh --build-only)
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, symlinkSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const { chromium } = createRequire(join(root, 'web/package.json'))('playwright-core');
const { serve } = await import(join(root, 'web/serve.mjs'));

const pageDir = process.env.DEMO_PAGE_DIR ?? join(root, 'build-web/page');
const contentDir = join(pageDir, '../content');  // the content as the show reads it, before packing
const demoFrames = process.env.DEMO_FRAMES ?? join(root, 'build/tools/demo-frames');
const Width = 320, Height = 240, BandTop = 32, BandBottom = 208;
const FrameBytes = Width * Height * 4;
// The start, a segment's last and first milliseconds, the cycle's turn, and
// clock readings far into a 32-bit run, in one carried-over sequence.
const Times = [0, 1234, 15999, 16000, 40000, 100017, 367999, 368000, 2000000000, 4294967295];

let browser, scratch;
const servers = [];

before(async () => {
  browser = await chromium.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', args: ['--no-sandbox'] });
  scratch = mkdtempSync(join(tmpdir(), 'page-test-'));
});

after(async () => {
  await browser?.close();
  for (const server of servers) server.close();
  rmSync(scratch, { recursive: true, force: true });
});

// A page from a server missing the `hidden` files, with its console kept.
async function openPage(hidden = []) {
  const server = await serve(pageDir, 0, { hidden: new Set(hidden) });
  servers.push(server);
  const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
  const log = { errors: [], messages: [] };
  page.on('console', message => log.messages.push(`${message.type()}: ${message.text()}`));
  page.on('pageerror', error => log.errors.push(String(error)));
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(() => window.DemoPage?.stage === 'title' && DemoPage.ready, null, { timeout: 30000 });
  return { page, log };
}

// Native frames from a folder holding the page's pictures but the `hidden` ones.
function nativeFrames(times, hidden = []) {
  const content = mkdtempSync(join(scratch, 'content-'));
  for (let number = 1; number <= 23; ++number) {
    const name = `${String(number).padStart(2, '0')}.raw`;
    if (!hidden.includes(name)) symlinkSync(join(contentDir, name), join(content, name));
  }
  execFileSync(demoFrames, [join(content, 'frames'), ...times.map(String)], { cwd: content, stdio: 'pipe' });
  return times.map(time => readFileSync(join(content, 'frames', `frame-${time}.raw`)));
}

async function pageFrames(page, times) {
  const encoded = await page.evaluate(([times, frameBytes]) => {
    const timesAt = Module._malloc(times.length * 4), framesAt = Module._malloc(times.length * frameBytes);
    Module.HEAPU32.set(times, timesAt >> 2);
    Module._DemoRenderFrames(timesAt, times.length, framesAt);
    const frames = times.map((_, i) => {
      const frame = Module.HEAPU8.subarray(framesAt + i * frameBytes, framesAt + (i + 1) * frameBytes);
      let text = '';
      for (let j = 0; j < frame.length; j += 0x8000) text += String.fromCharCode(...frame.subarray(j, j + 0x8000));
      return btoa(text);
    });
    Module._free(timesAt);
    Module._free(framesAt);
    return frames;
  }, [times, FrameBytes]);
  return encoded.map(text => Buffer.from(text, 'base64'));
}

function assertSameFrames(actual, expected, times) {
  times.forEach((time, i) => {
    if (actual[i].equals(expected[i])) return;
    let differing = 0;
    for (let j = 0; j < FrameBytes; j += 4) if (actual[i].readUInt32LE(j) !== expected[i].readUInt32LE(j)) ++differing;
    assert.fail(`frame at ${time} ms: ${differing} pixels differ from demo-frames`);
  });
}

// The canvas as RGBA bytes.
async function canvasPixels(page) {
  const values = await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    return Array.from(canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data);
  });
  return Uint8Array.from(values);
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

const pause = milliseconds => new Promise(done => setTimeout(done, milliseconds));

test('the page renders the frames demo-frames renders, byte for byte', async () => {
  const { page, log } = await openPage();
  assertSameFrames(await pageFrames(page, Times), nativeFrames(Times), Times);
  assert.deepEqual(log.errors, []);
  await page.close();
});

test('title, a click starts the show and its music, Escape ends it', async () => {
  const { page, log } = await openPage();

  // A still title: the first picture's band, dimmed, under the prompt.
  const title = await canvasPixels(page);
  const picture = readFileSync(join(contentDir, '01.raw'));
  const at = (40 * Width + 10) * 4;
  assert.deepEqual([...title.subarray(at, at + 3)], [picture[at + 2] >> 1, picture[at + 1] >> 1, picture[at] >> 1]);
  assert.ok(rowsAreBlack(title, 0, BandTop));
  await pause(300);
  assert.ok(!bandDiffers(title, await canvasPixels(page)), 'the title frame is still');
  assert.equal(await page.evaluate(() => DemoPage.music.status.reports), 0, 'no music before the click');

  await page.mouse.click(400, 300);
  await page.waitForFunction(() => DemoPage.music.status.reports > 20 && DemoPage.frames > 10, null, { timeout: 20000 });
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
  assert.ok(rowsAreBlack(end, 0, 100), 'a calm end screen');
  await pause(200);
  assert.ok(!bandDiffers(end, await canvasPixels(page)), 'the end screen stays');
  assert.deepEqual(log.errors, []);
  assert.deepEqual(log.messages.filter(line => line.startsWith('error')), []);
  await page.close();
});

test('a picture or module missing on the server: black slot, silent show, one console line each', async () => {
  const hidden = ['05.raw', 'kimo.xm'];
  const { page, log } = await openPage(['05.webp', 'kimo.xm.gz']);
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => DemoPage.frames > 10, null, { timeout: 20000 });
  await pause(300);
  // The page's own lines; Chromium adds one of its own for each failed request.
  const lines = log.messages.filter(line => line.startsWith('error') && !line.includes('Failed to load resource'));
  assert.equal(lines.length, 2, lines.join('\n'));
  assert.match(lines[0], /05\.raw/);
  assert.match(lines[1], /kimo\.xm/);
  assert.equal(await page.evaluate(() => DemoPage.music.status.reports), 0);
  assert.ok(!rowsAreBlack(await canvasPixels(page), BandTop, BandBottom), 'the show goes on');
  assert.deepEqual(log.errors, []);
  await page.close();

  // The slot's own segment, as the native show draws it without the file.
  const slotTimes = [64000, 70000, 79999];
  const fresh = await openPage(['05.webp', 'kimo.xm.gz']);
  assertSameFrames(await pageFrames(fresh.page, slotTimes), nativeFrames(slotTimes, hidden), slotTimes);
  await fresh.page.close();
});
