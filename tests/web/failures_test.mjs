// Files that never come, or come broken: the page says on itself, in words
// naming the show, what is missing and what that means, and goes on where
// the show can.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readdirSync, rmSync, symlinkSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { openPage, pageDir, problemLines, serve, servedPage, visibleText } from './browser.mjs';

const shared = servedPage();

const notFound = route => route.fulfill({ status: 404 });
const untilProblem = pattern => `[...document.querySelectorAll('#problems p')].some(line => ${pattern}.test(line.textContent))`;

// Starts the show and requires it to run without music.
async function playsSilently(page) {
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => DemoPage.stage === 'show' && DemoPage.frames > 20, null, { timeout: 20000 });
  assert.equal(await page.evaluate(() => DemoPage.music.status.reports), 0);
}

test('the program missing or damaged: the show cannot start, said within seconds', async () => {
  // Never plain black meanwhile: the page's own words before any script.
  let release;
  const held = new Promise(done => { release = done; });
  const slow = await openPage(shared.browser, shared.server.url, { routes: { 'demo.wasm': route => held.then(() => notFound(route)) }, until: null });
  await slow.page.waitForLoadState('domcontentloaded');
  assert.equal(await visibleText(slow.page, '#prompt'), 'loading');
  release();
  await slow.page.waitForFunction(() => DemoPage.stage === 'failed', null, { timeout: 10000 });
  await slow.context.close();

  // A valid WebAssembly module, but not the program demo.js was built with.
  const otherProgram = route => route.fulfill({ status: 200, contentType: 'application/wasm', body: Buffer.from([0, 97, 115, 109, 1, 0, 0, 0]) });
  const garbage = route => route.fulfill({ status: 200, contentType: 'application/wasm', body: Buffer.from('not a program at all') });
  for (const [routes, pattern, browserError = /^$/] of [
    [{ 'demo.wasm': notFound }, /^demo: demo\.wasm could not be loaded \(.*404.*\): the show cannot start$/],
    [{ 'demo.wasm': garbage }, /^demo: demo\.wasm is damaged: the show cannot start$/],
    [{ 'demo.wasm': otherProgram }, /^demo: the program did not start \(.+\): the show cannot start$/],
    [{ 'demo.js': notFound }, /^demo: demo\.js could not be loaded .*: the show cannot start$/],
    [{ 'demo.js': route => route.fulfill({ status: 200, contentType: 'text/javascript', body: '<html>' }) },
     /^demo: demo\.js is damaged: the show cannot start$/, /SyntaxError/],
  ]) {
    const { page, context, log } = await openPage(shared.browser, shared.server.url, { routes, until: 'DemoPage.stage === "failed"' });
    assert.match((await problemLines(page)).join('\n'), pattern);
    assert.equal(await visibleText(page, '#prompt'), 'The show cannot start.');
    await page.mouse.click(400, 300);
    assert.equal(await page.evaluate(() => DemoPage.stage), 'failed');
    // None but the browser's own report of a script that is not one.
    assert.ok(log.errors.every(error => browserError.test(error)), log.errors.join('\n'));
    await context.close();
  }
});

// Scripts that never come are given up after the page's time limit, here
// shortened to 1.5 s (the page's own before any of its scripts runs).
const limits = { stall: 1500 };
const neverAnswered = () => {};

test('the page\'s own scripts missing or never arriving: the page says which, and that the show cannot start', async () => {
  for (const [routes, pattern] of [
    [{ 'page.js': notFound }, /^demo: the page's scripts could not be loaded: the show cannot start$/],
    [{ 'page.js': neverAnswered }, /^demo: page\.js did not arrive \(nothing arrived for 1\.5 s\): the show cannot start$/],
    [{ 'fit.js': neverAnswered }, /^demo: fit\.js did not arrive \(nothing arrived for 1\.5 s\): the show cannot start$/],
  ]) {
    const { page, context } = await openPage(shared.browser, shared.server.url, { routes, limits, until: null });
    await page.waitForFunction(untilProblem(pattern), null, { timeout: 10000 });
    assert.equal(await visibleText(page, '#prompt'), 'The show cannot start.');
    await context.close();
  }
});

test('the music player missing or never arriving: the page loads, says so, and the show plays silently', async () => {
  for (const route of [notFound, neverAnswered]) {
    const { page, context, log } = await openPage(shared.browser, shared.server.url, { routes: { 'chiptune3/chiptune3.js': route }, limits });
    assert.equal(await visibleText(page, '#prompt'), 'click to start');
    await page.waitForFunction(untilProblem(/^demo: the music player \(chiptune3\/chiptune3\.js\) could not be loaded: the show plays silently$/));
    await playsSilently(page);
    assert.deepEqual(log.errors, []);
    await context.close();
  }
});

test('the music worklet missing from the page\'s folder: the show plays silently, said on the page', async () => {
  // Routing does not reach a worklet's own requests: a folder without it.
  const folder = mkdtempSync(join(tmpdir(), 'page-without-worklet-'));
  for (const name of readdirSync(pageDir)) if (name !== 'chiptune3') symlinkSync(join(pageDir, name), join(folder, name));
  symlinkSync(join(pageDir, 'chiptune3/chiptune3.js'), join(folder, 'chiptune3.js'));
  const partial = await serve(folder);
  try {
    const { page, context, log } = await openPage(shared.browser, partial.url, {
      routes: { 'chiptune3/chiptune3.js': route => route.fulfill({ path: join(pageDir, 'chiptune3/chiptune3.js') }) },
      limits: { worklet: 2000 },
    });
    await playsSilently(page);
    await page.waitForFunction(untilProblem(/^demo: the music player did not start .*: the show plays silently$/), null, { timeout: 10000 });
    assert.deepEqual(log.errors, []);
    await context.close();
  } finally {
    partial.close();
    rmSync(folder, { recursive: true, force: true });
  }
});

test('a server that never sends the music: the title first, then the line, then a silent show', async () => {
  const { page, context, log } = await openPage(shared.browser, shared.server.url, {
    routes: { 'kimo.xm.gz': neverAnswered },
    limits: { stall: 3000 },
    until: 'DemoPage.stage === "title"',
  });
  assert.equal(await page.evaluate(() => DemoPage.ready), false, 'the title while the music is awaited');
  await page.mouse.click(400, 300);
  assert.equal(await visibleText(page, '#prompt'), 'starting');
  await page.waitForFunction(untilProblem(/^demo: kimo\.xm could not be loaded \(nothing arrived for 3 s\): the show plays silently$/),
                             null, { timeout: 10000 });
  await page.waitForFunction(() => DemoPage.stage === 'show' && DemoPage.frames > 20, null, { timeout: 20000 });
  assert.equal(await page.evaluate(() => DemoPage.music.status.reports), 0);
  assert.deepEqual(log.errors, []);
  await context.close();
});
