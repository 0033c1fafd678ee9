// The page's content on its way: packed by the build, unpacked in the page
// into exactly the files the show reads, the title before the rest arrives,
// a file that stalls given up, and the page kept for visits with no network.
// Served by Python's http.server, in Debian's Chromium.
// Run: node --test tests/web/page_loading_offline_test.mjs (after scripts/web.sh --build-only)
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, utimesSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { launch, pageDir, pageModule, problemLines, programFiles, root, serve as startServer, setLimits } from './browser.mjs';

const contentDir = join(pageDir, '../content');
const { ModuleFileName, PictureBytes, PictureFileNames } = await pageModule('show_facts.js');
const { Spare } = await pageModule('pixel_order.js');
const ContentNames = [...PictureFileNames, ModuleFileName];

let browser;
const cleanups = [];

before(async () => {
  browser = await launch();
});

after(async () => {
  await browser?.close();
  for (const cleanup of cleanups) cleanup();
});

async function serve(directory) {
  const server = await startServer(directory);
  cleanups.push(server.close);
  return server.url;
}

async function assertProgramFiles(page, expected) {
  const files = await programFiles(page, ContentNames);
  ContentNames.forEach((name, i) => {
    assert.ok(files[i] !== null, `${name} is in the program's files`);
    assert.ok(files[i].equals(expected(name)), `${name} as the show reads it`);
  });
}

test('on a slow link: the title first, a click waits for the rest, the files as the show reads them', async () => {
  const context = await browser.newContext();
  const page = await context.newPage();
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.emulateNetworkConditions', { offline: false, latency: 40, downloadThroughput: 4e6 / 8, uploadThroughput: 1e6 / 8 });
  const errors = [];
  page.on('pageerror', error => errors.push(String(error)));
  // The module held back until the title is seen: on a busy machine the link
  // alone may bring everything before the page has drawn its title.
  let release;
  const held = new Promise(done => { release = done; });
  const url = await serve(pageDir);
  await page.route(`${url}${ModuleFileName}.gz`, route => held.then(() => route.continue()));
  await page.goto(url);
  await page.waitForFunction(() => window.DemoPage?.stage === 'title', null, { timeout: 30000 });
  assert.equal(await page.evaluate(() => DemoPage.ready), false, 'the title comes before everything has arrived');
  assert.match(await page.locator('#progress').innerText(), /[\d.]+ of [\d.]+ MB/);
  release();
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => DemoPage.frames > 5, null, { timeout: 30000 });
  assert.equal(await page.evaluate(() => DemoPage.ready), true, 'the show starts once everything is in');
  await assertProgramFiles(page, name => readFileSync(join(contentDir, name)));
  assert.deepEqual(errors, []);
  await context.close();
});

test('own content packed by the build: short, long and odd pictures arrive as the show reads them', async () => {
  // Beside the page, so that the build's encoded pictures are reused.
  const own = mkdtempSync(join(pageDir, '../test-content-'));
  const page = mkdtempSync(join(pageDir, '../test-page-'));
  cleanups.push(() => rmSync(own, { recursive: true, force: true }), () => rmSync(page, { recursive: true, force: true }));
  cpSync(contentDir, own, { recursive: true });
  const picture = readFileSync(join(contentDir, '02.raw'));
  writeFileSync(join(own, '01.raw'), picture.subarray(0, 1000));  // short: the rest is black
  writeFileSync(join(own, '02.raw'), Buffer.concat([picture, Buffer.alloc(999, 7)]));  // long: cut
  const spare = Buffer.from(picture);
  for (let i = Spare; i < PictureBytes; i += 40) spare[i] = 0x5a;  // spare bytes WebP cannot carry
  writeFileSync(join(own, '03.raw'), spare);
  writeFileSync(join(own, ModuleFileName), Buffer.from('not really a module'));
  cpSync(pageDir, page, { recursive: true });  // then packed over
  execFileSync('node', [join(root, 'web/pack_content.mjs'), own, join(root, 'web/node_modules/chiptune3'), page]);

  const tab = await browser.newPage();
  await tab.goto(await serve(page));
  await tab.waitForFunction(() => window.DemoPage?.ready, null, { timeout: 30000 });
  const showReads = bytes => Buffer.concat([bytes, Buffer.alloc(PictureBytes)]).subarray(0, PictureBytes);
  await assertProgramFiles(tab, name => (name === ModuleFileName ? readFileSync(join(own, name)) : showReads(readFileSync(join(own, name)))));
  await tab.close();
});

test('a picture that stalls is given up after its time limit and the show goes on', async () => {
  const page = await browser.newPage();
  await setLimits(page, { stall: 3000 });
  await page.route('**/07.webp', () => {});  // never answered
  await page.goto(await serve(pageDir));
  await page.waitForFunction(() => window.DemoPage?.ready, null, { timeout: 30000 });
  assert.match((await problemLines(page)).join('\n'), /^demo: 07\.raw could not be loaded \(nothing arrived for 3 s\): its picture stays black$/m);
  assert.equal((await programFiles(page, ContentNames))[6], null);
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => DemoPage.frames > 5, null, { timeout: 20000 });
  await page.close();
});

test('after one visit the page reloads and plays with no network; a new build replaces the kept one', async () => {
  const copy = mkdtempSync(join(pageDir, '../test-page-'));
  cleanups.push(() => rmSync(copy, { recursive: true, force: true }));
  cpSync(pageDir, copy, { recursive: true });
  const url = await serve(copy);
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForFunction(() => window.DemoPage?.ready, null, { timeout: 30000 });
  await page.waitForFunction(() => navigator.serviceWorker.controller?.state === 'activated', null, { timeout: 20000 });

  await context.setOffline(true);
  await page.reload();
  await page.waitForFunction(() => window.DemoPage?.ready, null, { timeout: 30000 });
  assert.deepEqual(await problemLines(page), [], 'nothing missing');
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => DemoPage.frames > 10 && DemoPage.music.status.reports > 5, null, { timeout: 20000 });
  await context.setOffline(false);

  // A rebuilt page with another first picture, deployed with dates older
  // than the kept build's (a roll-back, files unpacked from an archive), to a
  // server that answers "not modified" by date: its worker is taken, and it
  // keeps every file of the new build and nothing of the old one.
  const [before] = await page.evaluate(() => caches.keys());
  const content = mkdtempSync(join(pageDir, '../test-content-'));
  cleanups.push(() => rmSync(content, { recursive: true, force: true }));
  cpSync(contentDir, content, { recursive: true });
  cpSync(join(contentDir, '02.raw'), join(content, '01.raw'));
  writeFileSync(join(copy, 'page.js'), `${readFileSync(join(copy, 'page.js'), 'utf8')}\n// rebuilt\n`);
  execFileSync('node', [join(root, 'web/pack_content.mjs'), content, join(root, 'web/node_modules/chiptune3'), copy]);
  const longAgo = new Date('2001-01-01');
  const dateBack = dir => readdirSync(dir, { withFileTypes: true }).forEach(entry => {
    if (entry.isDirectory()) dateBack(join(dir, entry.name));
    utimesSync(join(dir, entry.name), longAgo, longAgo);
  });
  dateBack(copy);
  await page.reload();  // the page asks for its worker again once it has loaded: the new build's
  for (let wait = 0; ; wait += 200) {
    const names = await page.evaluate(() => caches.keys());
    if (names.length === 1 && names[0] !== before) break;
    assert.ok(wait < 30000, `kept builds: ${names.join(', ')}`);
    await new Promise(done => setTimeout(done, 200));
  }
  const kept = await page.evaluate(async () => {
    const cache = await caches.open((await caches.keys())[0]);
    const hex = digest => [...new Uint8Array(digest)].map(byte => byte.toString(16).padStart(2, '0')).join('');
    return Promise.all((await cache.keys()).map(async request => [new URL(request.url).pathname.slice(1) || 'index.html',
      hex(await crypto.subtle.digest('SHA-256', await (await cache.match(request)).arrayBuffer()))]));
  });
  for (const [path, hash] of kept)
    assert.equal(hash, createHash('sha256').update(readFileSync(join(copy, path))).digest('hex'), `${path} is the new build's`);
  await page.reload();
  await page.waitForFunction(() => window.DemoPage?.ready, null, { timeout: 30000 });
  assert.match(await page.evaluate(() => fetch('page.js').then(response => response.text())), /\/\/ rebuilt/);
  assert.ok((await programFiles(page, ['01.raw']))[0].equals(readFileSync(join(content, '01.raw'))), 'the new build\'s first picture');
  await context.close();
});
