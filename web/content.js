// The show's content as the build packed it (content.json): each file is
// fetched, with a time limit on each, and unpacked into exactly the bytes the
// show reads. The first picture comes first, for the title; the rest follow
// behind it, a few at a time, with the music worklet.

import { fetchBytes } from './fetch_bytes.js';
import { FrameHeight as Height, FrameWidth as Width, ModuleFile, PictureBytes } from './show_facts.js';

const Parallel = 4;
const WhatItMeans = name => (name === ModuleFile ? 'the show plays silently' : 'its picture stays black');

async function gunzip(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// A lossless WebP picture back into the show's 0x00RRGGBB words, byte by
// byte: decoded with no colour conversion and no premultiplying, so the
// encoded values come back as they were.
async function unpackWebp(bytes) {
  const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/webp' }),
    { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  if (bitmap.width !== Width || bitmap.height !== Height) throw new Error(`${bitmap.width} x ${bitmap.height} pixels`);
  const context = new OffscreenCanvas(Width, Height).getContext('2d', { willReadFrequently: true });
  context.drawImage(bitmap, 0, 0);
  bitmap.close();
  const rgba = context.getImageData(0, 0, Width, Height).data;
  const picture = new Uint8Array(PictureBytes);
  for (let i = 0; i < PictureBytes; i += 4) {
    picture[i] = rgba[i + 2];
    picture[i + 1] = rgba[i + 1];
    picture[i + 2] = rgba[i];
  }
  return picture;
}

async function unpack(file, bytes) {
  const unpacked = file.format === 'webp' ? await unpackWebp(bytes) : await gunzip(bytes);
  if (file.name !== ModuleFile && unpacked.length !== PictureBytes) throw new Error(`${unpacked.length} bytes`);
  return unpacked;
}

// The worklet's driver, made to import the library unpacked here, as a
// module URL the audio worklet can load.
async function unpackWorklet([driver, library]) {
  const libraryUrl = URL.createObjectURL(new Blob([await gunzip(library)], { type: 'text/javascript' }));
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
  const files = new Map();
  const load = async file => {
    try {
      files.set(file.name, await unpack(file, await fetchBytes(file.path, arrived(file.path))));
    } catch (error) {
      onProblem(`demo: ${file.name} could not be loaded (${error.message ?? error}): ${WhatItMeans(file.name)}`);
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
    const loadWorklet = () => Promise.all(content.worklet.map(file => fetchBytes(file.path, arrived(file.path))))
      .then(unpackWorklet)
      .then(url => { worklet = url; }, error => console.warn(`demo: the music worklet could not be loaded (${error.message ?? error})`));
    // The largest first, so that it overlaps the most.
    await inTurn([loadWorklet, ...content.files.slice(1).reverse().map(file => () => load(file))]);
    if (worklet) useWorklet(worklet);
    return files;
  });
  return { first, all };
}
