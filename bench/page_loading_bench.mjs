// How quickly the page appears on a slow link: headless Chromium with its
// network emulation (10 Mbit/s down, 40 ms latency), the page served by
// Python's http.server, which compresses nothing. Reports, as the median of
// several fresh visits, the time to the title, the time until everything has
// arrived, and the bytes transferred until then.
// Run after scripts/web.sh --build-only:  node bench/page_loading_bench.mjs [RUNS] [PAGE_DIR]
import { launch, pageDir as builtPage, serve } from '../tests/web/browser.mjs';

const runs = Number(process.argv[2] ?? 3);
const pageDir = process.argv[3] ?? builtPage;

async function visit(browser, url) {
  const context = await browser.newContext();
  const page = await context.newPage();
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
  await cdp.send('Network.emulateNetworkConditions', { offline: false, latency: 40, downloadThroughput: 10e6 / 8, uploadThroughput: 1e6 / 8 });
  let bytes = 0;
  cdp.on('Network.loadingFinished', event => { bytes += event.encodedDataLength; });
  await page.goto(url);
  // Milliseconds from the start of navigation, as the page's clock counts them.
  await page.waitForFunction(() => window.DemoPage?.stage === 'title', null, { timeout: 60000 });
  const title = await page.evaluate(() => performance.now());
  // A page that shows its title only once it has everything has no separate flag.
  await page.waitForFunction(() => DemoPage.ready ?? DemoPage.stage === 'title', null, { timeout: 60000 });
  const everything = await page.evaluate(() => performance.now());
  const transferred = bytes;
  await context.close();
  return { title, everything, transferred };
}

const server = await serve(pageDir);
const browser = await launch();
try {
  const visits = [];
  for (let i = 0; i < runs; ++i) visits.push(await visit(browser, server.url));
  const median = key => visits.map(v => v[key]).sort((a, b) => a - b)[visits.length >> 1];
  console.log(`page loading at 10 Mbit/s, 40 ms latency, median of ${runs} visits: ` +
    `title ${(median('title') / 1000).toFixed(2)} s, everything ${(median('everything') / 1000).toFixed(2)} s, ` +
    `${(median('transferred') / 1e6).toFixed(2)} MB transferred`);
} finally {
  await browser.close();
  server.close();
}
