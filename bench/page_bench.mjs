// The frame's cost in the web page, in headless Chromium: mean wall-clock
// microseconds of ComposeFrame over frames spread across the show, at the
// SIMD level the page uses and at the portable one; the median of several
// runs after a warm-up (the browser compiles hot code again, optimised).
// Run after scripts/web.sh --build-only:  node bench/page_bench.mjs [RUNS]
import { launch, pageFrames, serve } from '../tests/web/browser.mjs';

const runs = Number(process.argv[2] ?? 15);
const server = await serve();
const browser = await launch();
try {
  const page = await browser.newPage();
  await page.goto(server.url);
  await page.waitForFunction(() => window.DemoPage?.ready, null, { timeout: 30000 });
  await pageFrames(page, [0]);  // loads the pictures
  const medians = await page.evaluate(runs => {
    for (let i = 0; i < 3; ++i) for (const simd of [1, 0]) Module._DemoFrameMicroseconds(simd, 200);
    const median = values => values.sort((a, b) => a - b)[values.length >> 1];
    return [1, 0].map(simd => median([...Array(runs)].map(() => Module._DemoFrameMicroseconds(simd, 100))));
  }, runs);
  console.log(`ComposeFrame in the page, median of ${runs} runs: SIMD level ${medians[0].toFixed(0)} µs, portable ${medians[1].toFixed(0)} µs`);
} finally {
  await browser.close();
  server.close();
}
