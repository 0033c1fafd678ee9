// Content made to fill the browser's memory: a picture whose header declares
// 16383 x 16383 pixels, and a picture and a module that inflate to
// gigabytes. Each is a damaged file to the page (its line, its slot black or
// the show silent), found before it is unpacked, and the browser's memory
// stays within 300 MB of what the page with its own content takes.
// Run: node --test tests/web/hostile_content_test.mjs (after scripts/web.sh --build-only)
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { constants, deflateRawSync } from 'node:zlib';
import { launch, openPage, pageDir, pageModule, problemLines, programFiles, serve } from './browser.mjs';

const { MaxModuleBytes, ModuleFileName, PictureBytes } = await pageModule('show_facts.js');
const MB = 1e6;
let server;
before(async () => { server = await serve(); });
after(() => server?.close());

// The memory of this process's browsers (every Chromium process below it),
// in bytes: the sum of their proportional set sizes.
function browserMemory() {
  const processes = readdirSync('/proc').filter(name => /^\d+$/.test(name)).map(pid => {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      return { pid, name: stat.slice(stat.indexOf('(') + 1, stat.lastIndexOf(')')), parent: stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1] };
    } catch {
      return null;  // ended meanwhile
    }
  }).filter(Boolean);
  const ours = new Set([String(process.pid)]);
  for (let grew = true; grew;) {
    grew = false;
    for (const { pid, parent } of processes) if (ours.has(parent) && !ours.has(pid)) grew = ours.add(pid);
  }
  let bytes = 0;
  for (const { pid, name } of processes) {
    if (!ours.has(pid) || !/chrom/.test(name)) continue;
    try {
      bytes += 1024 * Number(readFileSync(`/proc/${pid}/smaps_rollup`, 'utf8').match(/^Pss:\s+(\d+)/m)[1]);
    } catch {
      // ended meanwhile
    }
  }
  return bytes;
}

// A fresh browser's highest memory while `run(browser)` runs.
async function peakMemory(run) {
  const browser = await launch();
  let peak = 0;
  const sampler = setInterval(() => { peak = Math.max(peak, browserMemory()); }, 50);
  try {
    await run(browser);
  } finally {
    clearInterval(sampler);
    await browser.close();
  }
  return peak;
}

// A gzip stream of `bytes` zero bytes, made of one flushed block repeated:
// its check values are left wrong, as the page must stop long before them.
function gzipOfZeros(bytes) {
  const block = deflateRawSync(Buffer.alloc(16 << 20), { finishFlush: constants.Z_FULL_FLUSH });
  const header = Buffer.from([0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 0, 0xff]);
  const last = Buffer.from([3, 0]);  // an empty final block
  return Buffer.concat([header, ...Array(bytes / (16 << 20)).fill(block), last, Buffer.alloc(8)]);
}

// A lossless WebP image of 38 bytes whose header declares 16383 x 16383 pixels.
function hugeWebp() {
  const image = Buffer.alloc(38);
  image.write('RIFF', 0);
  image.writeUInt32LE(30, 4);
  image.write('WEBPVP8L', 8);
  image.writeUInt32LE(17, 16);
  image[20] = 0x2f;
  image.writeUInt32LE(16382 | (16382 << 14), 21);
  return image;
}

const content = JSON.parse(readFileSync(`${pageDir}/content.json`, 'utf8'));
// content.json with `name`'s entry changed by `change`.
function contentWith(name, change) {
  const files = content.files.map(file => (file.name === name ? { ...file, ...change } : file));
  return route => route.fulfill({ contentType: 'application/json', body: JSON.stringify({ ...content, files }) });
}
const serveBytes = body => route => route.fulfill({ contentType: 'application/octet-stream', body });

test('pictures and a module made to fill the memory: damaged files to the page, its memory bounded', { timeout: 300000 }, async t => {
  const ownContent = await peakMemory(browser => openPage(browser, server.url));
  const pictureBomb = gzipOfZeros(2 ** 30), moduleBomb = gzipOfZeros(2 ** 31);
  const cases = [
    ['a 38-byte WebP of 16383 x 16383', { '05.webp': serveBytes(hugeWebp()) },
     /^demo: 05\.raw is damaged \(16383 x 16383 pixels\): its picture stays black$/],
    ['a picture inflating to 1 GB', { 'content.json': contentWith('05.raw', { path: '05.raw.gz', format: 'gzip', bytes: pictureBomb.length }), '05.raw.gz': serveBytes(pictureBomb) },
     new RegExp(`^demo: 05\\.raw is damaged \\(it unpacks to more than ${PictureBytes} bytes\\): its picture stays black$`)],
    ['a module inflating to 2 GB', { 'content.json': contentWith(ModuleFileName, { bytes: moduleBomb.length }), [`${ModuleFileName}.gz`]: serveBytes(moduleBomb) },
     new RegExp(`^demo: ${ModuleFileName.replace('.', '\\.')} is damaged \\(it unpacks to more than ${MaxModuleBytes} bytes\\): the show plays silently$`)],
  ];
  t.diagnostic(`the page with its own content: ${(ownContent / MB).toFixed(0)} MB`);
  for (const [what, routes, line] of cases) {
    let lines, files, failure;
    const peak = await peakMemory(async browser => {
      try {
        const { page } = await openPage(browser, server.url, { routes });
        lines = await problemLines(page);
        files = await programFiles(page, ['05.raw', ModuleFileName]);
      } catch (error) {
        failure = error;
      }
    });
    t.diagnostic(`${what}: ${(peak / MB).toFixed(0)} MB`);
    if (failure) throw failure;
    assert.ok(lines.some(text => line.test(text)), `${what}: ${lines.join('\n')}`);
    assert.equal(files.filter(file => file === null).length, 1, `${what}: its file is left out, the other kept`);
    assert.ok(peak < ownContent + 300 * MB, `${what}: ${(peak / MB).toFixed(0)} MB against ${(ownContent / MB).toFixed(0)} MB`);
  }
});
