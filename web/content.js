// The show's content as the build packed it (content.json): each file is
// fetched, with a time limit on each and no more bytes than the build packed,
// and unpacked, never past the size the show's file may have, into exactly
// the bytes the show reads. The first picture comes first, for the title; the
// rest follow behind it, a few at a time, with the music worklet.

import { fetchBytes, readAll } from './fetch_bytes.js';
import { MaxModuleBytes, ModuleFileName, PictureBytes, PictureHeight, PictureWidth } from './show_facts.js';
import { rgbaToPicture } from './pixel_order.js';

const Parallel = 4;
const WhatItMeans = name => (name === ModuleFileName ? 'the show plays silently' : 'its picture stays black');

// The browser inflates each piece of a stream it takes at once, however far
// (up to about a thousand times the piece's size): small pieces keep that
// step small.
const InflatePiece = 4096;

// A gzip stream inflated, stopping past `maxBytes`: a file that inflates
// further is damaged (or made to fill the memory) and is not held.
async function gunzip(bytes, maxBytes) {
  let at = 0;
  const pieces = new ReadableStream({
    pull(controller) {
      if (at < bytes.length) controller.enqueue(bytes.subarray(at, at += InflatePiece));
      else controller.close();
    },
  }, { highWaterMark: 0 });
  const stream = pieces.pipeThrough(new DecompressionStream('gzip'));
  try {
    return await readAll(stream.getReader(), maxBytes);
  } catch (error) {
    throw new Error(`it unpacks to ${error.message}`);
  }
}

// The width and height a lossless WebP image's header declares, read before
// anything is decoded (the packed pictures are all such images).
function webpSize(bytes) {
  const text = (at, length) => String.fromCharCode(...bytes.subarray(at, at + length));
  if (bytes.length < 25 || text(0, 4) !== 'RIFF' || text(8, 8) !== 'WEBPVP8L' || bytes[20] !== 0x2f)
    throw new Error('not a lossless WebP image');
  const bits = new DataView(bytes.buffer, bytes.byteOffset + 21, 4).getUint32(0, true);
  return [(bits & 0x3fff) + 1, ((bits >>> 14) & 0x3fff) + 1];
}

// A lossless WebP picture back into a picture file's bytes: decoded with no
// colour conversion and no premultiplying, so the encoded values come back
// as they were. Only a picture of the show's size is decoded.
async function unpackWebp(bytes) {
  const [width, height] = webpSize(bytes);
  if (width !== PictureWidth || height !== PictureHeight) throw new Error(`${width} x ${height} pixels`);
  const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/webp' }),
    { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  const context = new OffscreenCanvas(PictureWidth, PictureHeight).getContext('2d', { willReadFrequently: true });
  context.drawImage(bitmap, 0, 0);
  bitmap.close();
  return rgbaToPicture(context.getImageData(0, 0, PictureWidth, PictureHeight).data);
}

async function unpack(file, bytes) {
  if (file.format === 'webp') return unpackWebp(bytes);
  if (file.name === ModuleFileName) return gunzip(bytes, MaxModuleBytes);
  const unpacked = await gunzip(bytes, PictureBytes);
  if (unpacked.length !== PictureBytes) throw new Error(`${unpacked.length} bytes`);
  return unpacked;
}

// The worklet's driver, made to import the library unpacked here (no larger
// than the build made it), as a module URL the audio worklet can load.
async function unpackWorklet([driver, library], libraryBytes) {
  const libraryUrl = URL.createObjectURL(new Blob([await gunzip(library, libraryBytes)], { type: 'text/javascript' }));
  const text = new TextDecoder().decode(driver);
  const linked = text.replace(/(['"])\.\/libopenmpt\.worklet\.js\1/, JSON.stringify(libraryUrl));
  if (linked === text) throw new Error('its driver does not import its library');
  return URL.createObjectURL(new Blob([linked], { type: 'text/javascript' }));
}

// chiptune3 loads its worklet from beside itself; it gets the unpacked one.
function useWorklet(url) {
  const addModule = AudioWorklet.prototype.addModule;
  AudioWorklet.prototype.addModule = function (moduleUrl, options) {
    const ours = String(moduleUrl).endsWith('/chiptune3.worklet.js');
    return addModule.call(this, ours ? url : moduleUrl, options);
  };
}

// Runs `jobs` (functions returning promises), `Parallel` at a time.
async function inTurn(jobs) {
  const next = jobs[Symbol.iterator]();
  const worker = async () => {
    for (let job = next.next(); !job.done; job = next.next()) await job.value();
  };
  await Promise.all([...Array(Parallel)].map(worker));
}

// `first`: the first picture's bytes (or null), for the title. `all`: every
// content file's bytes by name (null for one that could not be loaded), once
// the music worklet is ready too. The rest waits for `restAfter` as well (the
// program, say), so as not to slow what the title needs.
export function loadContent({ onProgress = () => {}, onProblem = () => {}, restAfter = Promise.resolve() } = {}) {
  const loaded = new Map();
  let total = 0;
  // Progress of each file in turn, by its path.
  const arrived = path => got => {
    loaded.set(path, got);
    const sum = [...loaded.values()].reduce((a, b) => a + b, 0);
    onProgress(sum, Math.max(total, sum));
  };
  const fetchPacked = file => fetchBytes(file.path, { onProgress: arrived(file.path), maxBytes: file.bytes });
  const files = new Map();
  const load = async file => {
    let failed = 'could not be loaded';
    try {
      const bytes = await fetchPacked(file);
      failed = 'is damaged';
      files.set(file.name, await unpack(file, bytes));
    } catch (error) {
      onProblem(`demo: ${file.name} ${failed} (${error.message ?? error}): ${WhatItMeans(file.name)}`);
      files.set(file.name, null);
    }
    return files.get(file.name);
  };

  const list = fetchBytes('content.json')
    .then(bytes => JSON.parse(new TextDecoder().decode(bytes)))
    .catch(error => {
      onProblem(`demo: content.json could not be loaded (${error.message ?? error}): the show plays silently on black`);
      return null;
    });
  const first = list.then(content => {
    if (!content) return null;
    total = [...content.files, ...content.worklet].reduce((sum, file) => sum + file.bytes, 0);
    return load(content.files[0]);
  });
  const all = Promise.all([first, restAfter]).then(async () => {
    const content = await list;
    if (!content) return files;
    let worklet = null;
    // Without it the music player says, when the show starts, that it did not start.
    const loadWorklet = () => Promise.all(content.worklet.map(fetchPacked))
      .then(packed => unpackWorklet(packed, content.worklet[1].unpackedBytes))
      .then(url => { worklet = url; }, error => console.warn(`demo: the music worklet could not be loaded (${error.message ?? error})`));
    // The largest first, so that it overlaps the most.
    await inTurn([loadWorklet, ...content.files.slice(1).reverse().map(file => () => load(file))]);
    if (worklet) useWorklet(worklet);
    return files;
  });
  return { first, all };
}
