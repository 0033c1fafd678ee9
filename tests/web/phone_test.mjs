// The page on an emulated phone: tap to start, full screen, no scrolling,
// the control that ends the show, and the manifest that puts it on a home
// screen, served with the right types by the page's server.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { openPage, pause, servedPage, visibleText } from './browser.mjs';

const Phone = { viewport: { width: 844, height: 390 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

const shared = servedPage();


test('on a phone: tap to start, full screen, no scrolling, a tap offers the end, a tap starts again', async () => {
  const { page, context, log } = await openPage(shared.browser, shared.server.url, { device: Phone });
  assert.equal(await visibleText(page, '#prompt'), 'tap to start');
  const layout = await page.evaluate(() => ({
    scroll: [document.documentElement.scrollWidth, document.documentElement.scrollHeight, innerWidth, innerHeight],
    viewport: document.querySelector('meta[name=viewport]').content,
  }));
  assert.deepEqual(layout.scroll.slice(0, 2), layout.scroll.slice(2), 'nothing to scroll to');
  assert.match(layout.viewport, /viewport-fit=cover/);

  await page.touchscreen.tap(420, 200);
  await page.waitForFunction(() => DemoPage.stage === 'show' && DemoPage.frames > 10, null, { timeout: 20000 });
  assert.equal(await page.evaluate(() => document.fullscreenElement === document.documentElement), true, 'full screen asked for');
  assert.equal(await visibleText(page, '#end-show'), '', 'no control until a tap');
  await page.evaluate(() => document.exitFullscreen());
  await page.touchscreen.tap(420, 200);
  await page.waitForFunction(() => document.fullscreenElement !== null);
  assert.equal(await visibleText(page, '#end-show'), 'end the show');
  await page.waitForFunction(() => document.getElementById('end-show').hidden, null, { timeout: 8000 });

  await page.touchscreen.tap(420, 200);
  const box = await page.$eval('#end-show', element => { const r = element.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; });
  await page.touchscreen.tap(...box);
  await page.waitForFunction(() => DemoPage.stage === 'ended', null, { timeout: 10000 });
  assert.match(await visibleText(page, '#prompt'), /tap to watch it again/);
  await page.touchscreen.tap(420, 200);
  await page.waitForFunction(() => DemoPage.stage === 'show' && DemoPage.music.status.playing, null, { timeout: 20000 });
  assert.deepEqual(log.errors, []);
  await context.close();
});

test('the manifest is served as one, valid, with both icons at their sizes; the program as WebAssembly', async () => {
  const types = {};
  for (const name of ['demo.webmanifest', 'demo.wasm', 'page.js', 'icon-256.png', 'icon-512.png'])
    types[name] = (await fetch(shared.server.url + name)).headers.get('content-type');
  assert.equal(types['demo.webmanifest'], 'application/manifest+json');
  assert.equal(types['demo.wasm'], 'application/wasm');
  assert.match(types['page.js'], /^(text|application)\/javascript/);

  const { page, context } = await openPage(shared.browser, shared.server.url, { device: Phone, until: 'DemoPage.stage === "title"' });
  const cdp = await context.newCDPSession(page);
  const { errors, data } = await cdp.send('Page.getAppManifest');
  assert.deepEqual(errors, []);
  const manifest = JSON.parse(data);
  assert.equal(manifest.display, 'fullscreen');
  assert.equal(manifest.orientation, 'landscape');
  assert.equal(manifest.background_color, '#000000');
  assert.equal(manifest.theme_color, '#000000');
  assert.ok(manifest.name);
  const icons = await page.evaluate(async icons => Promise.all(icons.map(async ({ src, sizes }) => {
    const bitmap = await createImageBitmap(await (await fetch(src)).blob());
    return [sizes, `${bitmap.width}x${bitmap.height}`];
  })), manifest.icons);
  assert.deepEqual(icons, [['256x256', '256x256'], ['512x512', '512x512']]);
  await context.close();
});
