// Packs the show's content for the page: each picture as a lossless WebP
// image (or gzipped, when its spare bytes are not all 0, which WebP cannot
// carry), the module and the music worklet gzipped. Writes content.json,
// which lists the packed files for the page, and the service worker with
// every file of the page to keep and the hash of its bytes.
// Usage: node web/pack_content.mjs CONTENT_DIR WORKLET_DIR PAGE_DIR
import { execFile } from 'node:child_process';
import { createHash } from 'node:crypto';
import { copyFileSync, existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, renameSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, relative } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { promisify } from 'node:util';
import { gzipSync } from 'node:zlib';

const [contentDir, workletDir, pageDir] = process.argv.slice(2);
if (!pageDir) {
  console.error('usage: node web/pack_content.mjs CONTENT_DIR WORKLET_DIR PAGE_DIR');
  process.exit(2);
}
// The show's facts, as the build wrote them into the page.
const { ModuleFileName, PictureBytes, PictureFileNames, PictureHeight, PictureWidth } =
  await import(pathToFileURL(join(pageDir, 'show_facts.js')).href);
const { Spare, pictureToRgb } = await import(pathToFileURL(join(pageDir, 'pixel_order.js')).href);
const scratch = mkdtempSync(join(tmpdir(), 'pack-content-'));
// Encoded pictures by their bytes' hash, beside the page: encoding is slow.
const encoded = join(dirname(pageDir), 'webp-cache');
mkdirSync(encoded, { recursive: true });
const gzip = bytes => gzipSync(bytes, { level: 9 });

// The picture as the show reads it: its first PictureBytes, the rest black.
function showPicture(path) {
  const picture = Buffer.alloc(PictureBytes);
  readFileSync(path).copy(picture, 0, 0, PictureBytes);
  return picture;
}

async function packPicture(name) {
  const picture = showPicture(join(contentDir, name));
  const base = name.replace(/\.raw$/, '');
  let spareBytesZero = true;
  for (let i = Spare; i < PictureBytes && spareBytesZero; i += 4) spareBytesZero = picture[i] === 0;
  if (!spareBytesZero) {
    writeFileSync(join(pageDir, `${base}.raw.gz`), gzip(picture));
    return { name, path: `${base}.raw.gz`, format: 'gzip' };
  }
  const rgb = pictureToRgb(picture, Buffer.alloc(PictureWidth * PictureHeight * 3));
  const webp = join(encoded, `${createHash('sha256').update(rgb).digest('hex')}.webp`);
  if (!existsSync(webp)) {
    const ppm = join(scratch, `${base}.ppm`);
    writeFileSync(ppm, Buffer.concat([Buffer.from(`P6\n${PictureWidth} ${PictureHeight}\n255\n`), rgb]));
    await promisify(execFile)('cwebp', ['-quiet', '-lossless', '-exact', '-z', '9', ppm, '-o', `${webp}.part`]);
    renameSync(`${webp}.part`, webp);
  }
  copyFileSync(webp, join(pageDir, `${base}.webp`));
  return { name, path: `${base}.webp`, format: 'webp' };
}

// At most two encoders at a time: the machine building this is shared.
async function packPictures(names) {
  const packed = [];
  for (let i = 0; i < names.length; i += 2) packed.push(...await Promise.all(names.slice(i, i + 2).map(packPicture)));
  return packed;
}

// Files of the page folder that no visitor's browser asks for.
const NeverFetched = new Set(['chiptune3/LICENSE', 'package.json']);

function filesUnder(dir) {
  return readdirSync(dir, { withFileTypes: true }).flatMap(entry =>
    entry.isDirectory() ? filesUnder(join(dir, entry.name)) : [join(dir, entry.name)]);
}

try {
  const files = await packPictures(PictureFileNames);
  writeFileSync(join(pageDir, `${ModuleFileName}.gz`), gzip(readFileSync(join(contentDir, ModuleFileName))));
  files.push({ name: ModuleFileName, path: `${ModuleFileName}.gz`, format: 'gzip' });
  for (const file of files) file.bytes = statSync(join(pageDir, file.path)).size;

  // The worklet's library travels gzipped; its small driver is rewritten in the page to import it.
  for (const name of ['chiptune3.js', 'chiptune3.worklet.js', 'LICENSE']) copyFileSync(join(workletDir, name), join(pageDir, 'chiptune3', name));
  writeFileSync(join(pageDir, 'chiptune3/libopenmpt.worklet.js.gz'), gzip(readFileSync(join(workletDir, 'libopenmpt.worklet.js'))));
  const worklet = ['chiptune3/chiptune3.worklet.js', 'chiptune3/libopenmpt.worklet.js.gz']
    .map(path => ({ path, bytes: statSync(join(pageDir, path)).size }));
  worklet[1].unpackedBytes = statSync(join(workletDir, 'libopenmpt.worklet.js')).size;
  writeFileSync(join(pageDir, 'content.json'), `${JSON.stringify({ files, worklet }, null, 1)}\n`);

  // The worker keeps each file only with these bytes: any change to any file makes a new worker.
  const sha256 = path => createHash('sha256').update(readFileSync(join(pageDir, path))).digest('hex');
  const kept = filesUnder(pageDir).map(path => relative(pageDir, path))
    .filter(path => path !== 'service_worker.js' && !NeverFetched.has(path)).sort();
  const build = { './': sha256('index.html'), ...Object.fromEntries(kept.map(path => [path, sha256(path)])) };
  const version = createHash('sha256').update(JSON.stringify(build)).digest('hex').slice(0, 16);
  const worker = readFileSync(join(dirname(fileURLToPath(import.meta.url)), 'service_worker.js'), 'utf8')
    .replace("'@VERSION@'", JSON.stringify(version))
    .replace("{ '@FILES@': '' }", JSON.stringify(build, null, 1));
  writeFileSync(join(pageDir, 'service_worker.js'), worker);
} finally {
  rmSync(scratch, { recursive: true, force: true });
}
