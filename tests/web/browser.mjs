// What the page's browser tests and benchmark share: the page as
// scripts/web.sh builds it (build-web/page), served by Python's static
// server on a free loopback port, and Debian's Chromium, headless, driven by
// Playwright. Missing or hostile files are stood in by request routing.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { tmpdir } from 'node:os';
import { createInterface } from 'node:readline';
import { after, before } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const pageDir = process.env.DEMO_PAGE_DIR ?? join(root, 'build-web/page');
// The page's own modules as built: show_facts.js, written by CMake, among them.
export const pageModule = name => import(pathToFileURL(join(pageDir, name)).href);
// The native tools the page is compared with.
export const tools = process.env.DEMO_TOOLS ?? join(root, 'build/tools');
const { PictureBytes } = await pageModule('show_facts.js');
const { chromium } = createRequire(join(root, 'web/package.json'))('playwright-core');

// Serves `dir`; resolves to { url, close() } once the server listens.
export function serve(dir = pageDir) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '--directory', dir, '0'],
                       { stdio: ['ignore', 'pipe', 'ignore'] });
  return new Promise((done, fail) => {
    server.on('error', fail);
    server.on('exit', code => fail(new Error(`python3 -m http.server ended (${code})`)));
    createInterface({ input: server.stdout }).on('line', line => {
      const port = line.match(/port (\d+)/)?.[1];
      if (port) done({ url: `http://127.0.0.1:${port}/`, close: () => server.kill() });
    });
  });
}

export function launch() {
  return chromium.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', args: ['--no-sandbox'] });
}

// The built page served and a browser, for one test file's tests, and with
// `scratchPrefix` a scratch folder too: { server, browser, scratch }, filled
// in before the tests and taken away after them.
export function servedPage(scratchPrefix) {
  const shared = {};
  before(async () => {
    [shared.server, shared.browser] = await Promise.all([serve(), launch()]);
    if (scratchPrefix) shared.scratch = mkdtempSync(join(tmpdir(), scratchPrefix));
  });
  after(async () => {
    await shared.browser?.close();
    shared.server?.close();
    if (shared.scratch) rmSync(shared.scratch, { recursive: true, force: true });
  });
  return shared;
}

// The page's time limits (window.DemoLimits: stall, worklet, sound, in
// milliseconds) for every page of `context` (or a page) from its next load:
// a test of a stall need not wait out the page's real limits.
export function setLimits(context, limits) {
  return context.addInitScript(`window.DemoLimits = ${JSON.stringify(limits)};`);
}

// A page in its own browser context (`device`: Playwright's viewport,
// deviceScaleFactor, isMobile, hasTouch), with its console kept, `limits`
// set and `routes` (name -> handler) in place before it loads. Waits for
// `until` (an expression).
export async function openPage(browser, url, { device = {}, routes = {}, limits, until = 'DemoPage.ready' } = {}) {
  const context = await browser.newContext({ viewport: { width: 800, height: 600 }, ...device });
  if (limits) await setLimits(context, limits);
  const page = await context.newPage();
  const log = { errors: [], messages: [] };
  page.on('console', message => log.messages.push(`${message.type()}: ${message.text()}`));
  page.on('pageerror', error => log.errors.push(String(error)));
  for (const [name, handler] of Object.entries(routes)) await page.route(url + name, handler);
  // Without `until`, not even the page's load: its scripts may never come.
  await page.goto(url, { waitUntil: until ? 'load' : 'commit' });
  if (until) await page.waitForFunction(until, null, { timeout: 30000 });
  return { page, context, log };
}

// The page's own lines about problems, on the page.
export function problemLines(page) {
  return page.$$eval('#problems p', lines => lines.map(line => line.textContent));
}

// An element's text as the viewer sees it: empty when it is not shown.
export function visibleText(page, selector) {
  return page.$eval(selector, element => (element.checkVisibility() ? element.innerText.trim() : ''));
}

// Bytes in the page as base64 text, to carry them out of it.
function toBase64(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(text);
}

// `inPage(arg, toBase64)` run in the page; its base64 texts back as bytes.
async function bytesOut(page, inPage, arg) {
  const texts = await page.evaluate(`(${inPage})(${JSON.stringify(arg)}, ${toBase64})`);
  return texts.map(text => text && Buffer.from(text, 'base64'));
}

// The program's files `names` as the page wrote them (null for one absent).
export function programFiles(page, names) {
  return bytesOut(page, (names, toBase64) => names.map(name => {
    try {
      return toBase64(Module.FS.readFile(name));
    } catch {
      return null;
    }
  }), names);
}

// The frames the page's program renders at `times` (ms), as demo-frames
// renders them.
export function pageFrames(page, times) {
  return bytesOut(page, ([times, frameBytes], toBase64) => {
    const timesAt = Module._malloc(times.length * 4), framesAt = Module._malloc(times.length * frameBytes);
    Module.HEAPU32.set(times, timesAt >> 2);
    Module._DemoRenderFrames(timesAt, times.length, framesAt);
    const frames = times.map((_, i) => toBase64(Module.HEAPU8.subarray(framesAt + i * frameBytes, framesAt + (i + 1) * frameBytes)));
    Module._free(timesAt);
    Module._free(framesAt);
    return frames;
  }, [times, PictureBytes]);
}

// The frames demo-frames renders at `times` from the content in `folder`.
export function nativeFrames(folder, times) {
  execFileSync(join(tools, 'demo-frames'), [join(folder, 'frames'), ...times.map(String)], { cwd: folder, stdio: 'pipe' });
  return times.map(time => readFileSync(join(folder, 'frames', `frame-${time}.raw`)));
}

export function assertSameFrames(actual, expected, times) {
  times.forEach((time, i) => {
    if (actual[i].equals(expected[i])) return;
    let differing = 0;
    for (let j = 0; j < PictureBytes; j += 4) if (actual[i].readUInt32LE(j) !== expected[i].readUInt32LE(j)) ++differing;
    assert.fail(`frame at ${time} ms: ${differing} pixels differ from demo-frames`);
  });
}

// The page's canvas as red, green, blue, alpha bytes.
export async function canvasPixels(page) {
  const [pixels] = await bytesOut(page, (_, toBase64) => {
    const canvas = document.getElementById('screen');
    return [toBase64(canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data)];
  });
  return pixels;
}

export const pause = milliseconds => new Promise(done => setTimeout(done, milliseconds));
