// The viewer's own photographs and module in the page: converted by the
// program's own scaling into the same pictures demo-pictures convert makes,
// and hostile files refused one line each without breaking the page.
// Run: node --test tests/web/page_own_files_test.mjs (after scripts/web.sh --build-only)
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, symlinkSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';
import { deflateSync } from 'node:zlib';
import { assertSameFrames, nativeFrames, openPage as openServedPage, pageDir, pageFrames, pageModule, problemLines, programFiles,
  servedPage, tools } from './browser.mjs';

const contentDir = join(pageDir, '../content');
const images = '/usr/share/xplanet/images';  // Debian's xplanet-images
const Pngs = ['hubble.png', 'iss.png', 'mgs.png', 'odyssey.png', 'shuttle.png', 'smile.png', 'sublunar.png', 'subsolar.png'];
const Jpegs = ['earth.jpg', 'night.jpg', 'sun.jpg'];
const { ImageCount, PictureFileNames } = await pageModule('show_facts.js');
const { Red, Green, Blue } = await pageModule('pixel_order.js');
const slotName = slot => PictureFileNames[slot - 1];

const shared = servedPage('page-own-');

const openPage = () => openServedPage(shared.browser, shared.server.url, { until: 'DemoPage.stage === "title" && DemoPage.ready' });

async function choose(page, files) {
  await page.evaluate(() => { DemoPage.own = null; });
  await page.setInputFiles('#own-files', files);
  await page.waitForFunction(() => DemoPage.own, null, { timeout: 60000 });
  return page.evaluate(() => DemoPage.own);
}

// EXIF data of one tag, the orientation (6: turn 90° clockwise to show).
const exifOrientation = orientation =>
  Buffer.from([0x4d, 0x4d, 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, orientation, 0, 0, 0, 0, 0, 0]);

// `jpeg` with an EXIF orientation tag, put right after its start.
function withOrientation(jpeg, orientation) {
  const tiff = exifOrientation(orientation);
  const segment = Buffer.concat([Buffer.from([0xff, 0xe1, 0, 2 + 6 + tiff.length]), Buffer.from('Exif\0\0', 'latin1'), tiff]);
  return Buffer.concat([jpeg.subarray(0, 2), segment, jpeg.subarray(2)]);
}

// zlib's own crc32 needs node 20.15; Debian 12 has node 18.
const crcTable = Array.from({ length: 256 }, (_, n) => {
  for (let k = 0; k < 8; k++) n = n & 1 ? 0xedb88320 ^ (n >>> 1) : n >>> 1;
  return n >>> 0;
});
function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

function pngChunk(type, data) {
  const length = Buffer.alloc(4), crc = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  crc.writeUInt32BE(crc32(Buffer.concat([Buffer.from(type), data])));
  return Buffer.concat([length, Buffer.from(type), data, crc]);
}

// `png` with an eXIf chunk holding an orientation tag right after its header chunk.
const pngWithOrientation = (png, orientation) =>
  Buffer.concat([png.subarray(0, 33), pngChunk('eXIf', exifOrientation(orientation)), png.subarray(33)]);

// A PNG whose header claims `width` x `height` one-bit grey pixels, all black.
function pngOfSize(width, height) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header[8] = 1;  // bit depth; colour type 0, grey
  const rows = Buffer.alloc(height * (1 + Math.ceil(width / 8)));
  return Buffer.concat([Buffer.from('\x89PNG\r\n\x1a\n', 'latin1'), pngChunk('IHDR', header),
    pngChunk('IDAT', deflateSync(rows)), pngChunk('IEND', Buffer.alloc(0))]);
}

test('photographs converted in the page are demo-pictures convert\'s pictures, and the show renders them', async t => {
  const paths = [...Pngs, ...Jpegs].map(name => join(images, name));
  const native = join(shared.scratch, 'native');
  execFileSync(join(tools, 'demo-pictures'), ['convert', ...paths, native], { stdio: 'pipe' });

  const { page, context, log } = await openPage();
  assert.deepEqual(await choose(page, paths), { pictures: paths.length, module: false, errors: [] });
  const converted = await programFiles(page, paths.map((_, i) => slotName(i + 1)));
  paths.forEach((path, i) => {
    const expected = readFileSync(join(native, slotName(i + 1)));
    if (path.endsWith('.png')) {
      assert.ok(converted[i].equals(expected), `${basename(path)} converted as demo-pictures converts it`);
      return;
    }
    // Browsers and libjpeg may decode the same JPEG slightly differently.
    const largest = [0, 0, 0];
    for (let j = 0; j < expected.length; j += 4)
      for (let c = 0; c < 3; ++c) largest[c] = Math.max(largest[c], Math.abs(converted[i][j + c] - expected[j + c]));
    t.diagnostic(`${basename(path)}: largest difference from demo-pictures, red ${largest[Red]}, green ${largest[Green]}, blue ${largest[Blue]}`);
    assert.ok(Math.max(...largest) <= 48, `${basename(path)} close to demo-pictures' conversion`);
  });

  // The show's frames with the own pictures, as demo-frames draws them from the same files.
  for (let slot = paths.length + 1; slot <= ImageCount; ++slot) symlinkSync(join(contentDir, slotName(slot)), join(native, slotName(slot)));
  const times = [0, 1234, 15999];
  assertSameFrames(await pageFrames(page, times), nativeFrames(native, times), times);
  assert.deepEqual(log.errors, []);
  await context.close();
});

test('a photograph with an orientation tag is converted upright, as demo-pictures convert turns it', async () => {
  const earth = join(images, 'earth.jpg');
  const tagged = join(shared.scratch, 'tagged.jpg'), turned = join(shared.scratch, 'turned.png');
  const plainPng = join(shared.scratch, 'earth.png'), taggedPng = join(shared.scratch, 'tagged.png');
  writeFileSync(tagged, withOrientation(readFileSync(earth), 6));
  execFileSync('convert', [earth, '-rotate', '90', turned]);  // ImageMagick, by hand
  execFileSync('convert', [earth, plainPng]);
  writeFileSync(taggedPng, pngWithOrientation(readFileSync(plainPng), 6));
  const native = join(shared.scratch, 'native-tagged');
  execFileSync(join(tools, 'demo-pictures'), ['convert', tagged, taggedPng, native], { stdio: 'pipe' });
  const { page, context } = await openPage();
  const own = await choose(page, [tagged, turned, taggedPng]);
  assert.equal(own.pictures, 3);
  const [inPage, byHand, pngInPage] = await programFiles(page, [slotName(1), slotName(2), slotName(3)]);
  const largest = (a, b) => a.reduce((most, value, i) => Math.max(most, Math.abs(value - b[i])), 0);
  assert.ok(largest(inPage, byHand) <= 2, `the tagged photograph differs from the one turned by hand by up to ${largest(inPage, byHand)}`);
  const nativeTurn = readFileSync(join(native, slotName(1)));
  assert.ok(largest(inPage, nativeTurn) <= 2, `and from demo-pictures' by up to ${largest(inPage, nativeTurn)}`);
  // Decoded without loss, the tagged PNG is exactly the photograph turned by hand, on both paths.
  assert.ok(pngInPage.equals(byHand), 'the tagged PNG in the page');
  assert.ok(readFileSync(join(native, slotName(2))).equals(byHand), 'the tagged PNG by demo-pictures');
  await context.close();
});

test('hostile and surplus files: one line each, the rest used, the show still plays', async () => {
  const smile = readFileSync(join(images, 'smile.png'));
  const earth = readFileSync(join(images, 'earth.jpg'));
  const module = readFileSync('/usr/share/games/tecnoballz/musics/area1-game.mod');  // Debian's tecnoballz-data
  const files = [
    { name: 'notes.jpg', mimeType: 'image/jpeg', buffer: Buffer.from('these are not the pixels you are looking for') },
    { name: 'cut.png', mimeType: 'image/png', buffer: smile.subarray(0, smile.length >> 1) },
    { name: 'cut.jpg', mimeType: 'image/jpeg', buffer: earth.subarray(0, earth.length >> 1) },
    { name: 'huge.png', mimeType: 'image/png', buffer: pngOfSize(9000, 8000) },
    { name: 'tune.mod', mimeType: 'application/octet-stream', buffer: module },
    ...[...Array(24)].map((_, i) => ({ name: `smile-${i}.png`, mimeType: 'image/png', buffer: smile })),
  ];
  const { page, context, log } = await openPage();
  const own = await choose(page, files);
  assert.equal(own.module, true);
  assert.equal(own.pictures, 19, 'the first 23 images, less the four refused');
  assert.equal(own.errors.length, 5, own.errors.join('\n'));
  for (const [i, pattern] of [/notes\.jpg.*not an image/, /cut\.png/, /cut\.jpg/, /huge\.png.*9000 x 8000 pixels/, /5 images left out/].entries())
    assert.match(own.errors[i], pattern);
  assert.deepEqual(await problemLines(page), own.errors, 'each on the page');
  const [slot19, slot20, music] = await programFiles(page, [slotName(19), slotName(20), 'kimo.xm']);
  assert.ok(music.equals(module));
  assert.ok(!slot19.equals(slot20), 'slot 20 keeps its default picture');

  await page.mouse.click(400, 300);
  await page.waitForFunction(() => DemoPage.frames > 10 && DemoPage.music.status.reports > 5, null, { timeout: 20000 });
  assert.deepEqual(log.errors, []);
  await context.close();
});
