// The page around the show's program (demo.js, demo.wasm): loads the program
// and the content, shows the title until a click or tap, hands the program its
// canvas and the music player, and shows the end screen, from which the show
// can start again. The program reaches this page through DemoPage; its window
// and music stand-ins take the page's keys and drive the player themselves.
// Whatever could not be loaded is said on the page, in words.

import { fitCanvas } from './fit.js';
import { Limits, fetchBytes, inTime } from './fetch_bytes.js';
import { BandBottom, BandTop, PictureHeight, PictureWidth } from './show_facts.js';
import { loadContent } from './content.js';
import { pictureToRgb } from './pixel_order.js';
import { keepOffline } from './offline.js';
import { takeOwnFiles } from './own_files.js';

DemoScripts.running();  // every module this one imports has come

const canvas = document.getElementById('screen');
const context = canvas.getContext('2d');
const prompt = document.getElementById('prompt');
const progressLine = document.getElementById('progress');
const problems = document.getElementById('problems');
const endControl = document.getElementById('end-show');
const touchScreen = matchMedia('(pointer: coarse)').matches;
const click = touchScreen ? 'tap' : 'click';

let stage = 'loading';  // then 'title', 'starting', 'show', 'ended'; or 'failed'
let current = null;     // the program's module instance of the show under way
let next = null;        // the instance the next start runs: a promise

canvas.width = PictureWidth;
canvas.height = PictureHeight;
const frame = context.createImageData(canvas.width, canvas.height);  // what the program presents

// Every source pixel k x k device pixels, again whenever the window's size,
// orientation or pixel ratio changes.
let ratioQuery = null;
function refit() {
  fitCanvas(canvas, innerWidth, innerHeight, devicePixelRatio);
  ratioQuery?.removeEventListener('change', refit);
  ratioQuery = matchMedia(`(resolution: ${devicePixelRatio}dppx)`);
  ratioQuery.addEventListener('change', refit);
}
addEventListener('resize', refit);
refit();

// The captions are the page's text, sharp at any scale, over the canvas.
// During the show, lines about problems stay only a moment.
function setStage(name, ...lines) {
  stage = name;
  document.body.dataset.stage = name;
  prompt.textContent = lines.join('\n');
  if (name === 'show') setTimeout(() => { for (const line of problems.children) line.classList.add('seen'); }, 8000);
}

function reportProblem(line) {
  console.error(line);
  const item = document.createElement('p');
  item.textContent = line;
  problems.append(item);
  if (stage === 'show') setTimeout(() => item.classList.add('seen'), 8000);
  return item;
}

function clearScreen() {
  context.fillStyle = '#000';
  context.fillRect(0, 0, canvas.width, canvas.height);
}

// A still of the first picture in the show's band, dimmed, under the prompt.
function showTitle(firstPicture) {
  clearScreen();
  if (firstPicture && firstPicture.length >= PictureWidth * BandBottom * 4) {
    const image = context.createImageData(PictureWidth, BandBottom - BandTop);
    pictureToRgb(firstPicture.subarray(BandTop * PictureWidth * 4, BandBottom * PictureWidth * 4), image.data);
    for (let i = 0; i < image.data.length; ++i) if ((i & 3) !== 3) image.data[i] >>= 1;
    context.putImageData(image, 0, BandTop);
  }
  setStage('title', `${click} to start`);
}

function showProgress(loaded, total) {
  const megabytes = bytes => (bytes / 1e6).toFixed(1);
  progressLine.textContent = total > loaded ? `${megabytes(loaded)} of ${megabytes(total)} MB` : '';
}

// demo.js defines createDemo, which makes a fresh instance of the program.
function loadScript(source) {
  return inTime(new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.onload = resolve;
    script.onerror = () => reject(new Error('the server did not send it'));
    script.src = source;
    document.body.append(script);
  }));
}

// The program, compiled once: every show runs a fresh instance of it.
async function loadProgram() {
  const compiled = fetchBytes('demo.wasm').then(
    bytes => WebAssembly.compile(bytes).catch(() => { throw new Error('demo.wasm is damaged'); }),
    error => { throw new Error(`demo.wasm could not be loaded (${error.message})`); });
  compiled.catch(() => {});  // awaited below, after demo.js
  try {
    await loadScript('demo.js');
  } catch (error) {
    throw new Error(`demo.js could not be loaded (${error.message})`);
  }
  if (typeof window.createDemo !== 'function') throw new Error('demo.js is damaged');
  return { create: window.createDemo, compiled: await compiled };
}

function cannotStart(reason) {
  setStage('failed', 'The show cannot start.');
  reportProblem(`demo: ${reason}: the show cannot start`);
  next = Promise.resolve(null);
}

// A program instance with the content in its files, ready to run main; null
// (with the reason on the page) when it cannot be made.
async function newInstance(program, files) {
  let fail;
  const failure = new Promise((_, reject) => { fail = reject; });
  try {
    return await Promise.race([failure, program.create({
      thisProgram: 'demo',
      canvas,
      musicPlayer,
      limits: Limits,
      print: line => console.log(line),
      printErr: line => (line.startsWith('demo:') ? reportProblem(line) : console.error(line)),
      instantiateWasm: (imports, receive) => {
        WebAssembly.instantiate(program.compiled, imports).then(instance => receive(instance, program.compiled)).catch(fail);
        return {};
      },
      preRun: [module => { for (const [name, data] of files) if (data) module.FS.writeFile(name, data); }],
    })]);
  } catch (error) {
    cannotStart(`the program did not start (${error.message ?? error})`);
    return null;
  }
}

// Full screen for the whole page, so that the canvas stays centred on black;
// in it, Escape goes to the show rather than to the browser where it can.
async function enterFullScreen() {
  if (document.fullscreenElement || !document.documentElement.requestFullscreen) return;
  try {
    await document.documentElement.requestFullscreen({ navigationUI: 'hide' });
    await navigator.keyboard?.lock?.(['Escape']);
  } catch {
    // Full screen is a nicety: the show runs in the window just the same.
  }
}

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  else enterFullScreen();
}

// From the title or the end screen; a start before everything has arrived
// goes ahead the moment it has.
async function start() {
  setStage('starting', 'starting');
  enterFullScreen();  // while the click still counts as the viewer's
  await ownFiles.settled();
  const instance = await next;
  if (!instance) return;
  window.Module = current = instance;
  next = null;
  setStage('show');
  instance.callMain([]);
}

// A touch screen has no Escape key: a tap shows a control that ends the show.
let endControlTimer;
function offerEndControl() {
  endControl.hidden = false;
  clearTimeout(endControlTimer);
  endControlTimer = setTimeout(() => { endControl.hidden = true; }, 4000);
}

endControl.addEventListener('click', event => {
  event.stopPropagation();
  endControl.hidden = true;
  // The window stand-in takes it as the Escape key.
  for (const type of ['keydown', 'keyup']) dispatchEvent(new KeyboardEvent(type, { key: 'Escape' }));
});
function onClick(event) {
  if (event.target.closest('#title-controls')) return;
  if (stage === 'title' || stage === 'ended') start();
  else if (stage === 'show') enterFullScreen();
}
// The canvas takes clicks itself: a touch screen gives a tap to the nearest
// element that does, and a tap on the canvas near the title's controls is
// the canvas's.
canvas.addEventListener('click', event => {
  event.stopPropagation();
  onClick(event);
});
addEventListener('click', onClick);
addEventListener('pointerup', event => {
  if (stage === 'show' && event.pointerType !== 'mouse') offerEndControl();
});
addEventListener('keydown', event => {
  if ((event.key === 'f' || event.key === 'F') && (stage === 'title' || stage === 'show')) {
    toggleFullScreen();
    event.preventDefault();
  }
});
// A fault in the page's code or the program's stops the show: say so.
// (Before, whatever keeps the show from starting says so itself.)
function reportFault(what) {
  if (stage === 'starting' || stage === 'show') reportProblem(`demo: the page failed (${what}): the show stopped`);
}
addEventListener('error', event => reportFault(event.message));
addEventListener('unhandledrejection', event => reportFault(event.reason));

window.DemoPage = {
  get stage() { return stage; },
  ready: false,  // the next show's instance holds all the content
  frames: 0,  // frames presented, for the page's tests
  // The music stand-in of the show under way, or of the next, for the page's tests.
  get music() { return window.Module?.music; },

  present(bytes) {
    frame.data.set(bytes);
    context.putImageData(frame, 0, 0);
    this.frames++;
    return new Promise(resolve => requestAnimationFrame(() => resolve()));
  },

  // The program has ended for good; the next show runs a fresh instance.
  end() {
    endControl.hidden = true;
    clearScreen();
    setStage('ended', 'The show has ended.', `${click} to watch it again`);
    navigator.keyboard?.unlock?.();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    this.ready = false;
    next = prepare();
  },
};

// The music worklet's player, handed to every instance: without it, or when
// it does not arrive in time, the show plays silently.
const musicPlayer = inTime(import('./chiptune3/chiptune3.js')).then(module => module.ChiptuneJsPlayer, () => {
  reportProblem('demo: the music player (chiptune3/chiptune3.js) could not be loaded: the show plays silently');
  return null;
});
const program = loadProgram();
// The rest of the content waits for the program, which the title needs first.
const content = loadContent({ onProgress: showProgress, onProblem: reportProblem, restAfter: program.catch(() => {}) });
keepOffline(content.all);

// The viewer's own files take the place of the content's, in the next
// instance's files and every later one's.
const own = new Map();
let ownLines = [];  // the lines about the latest choice
const ownFiles = takeOwnFiles({
  instance: () => next ?? Promise.resolve(null),
  accepting: () => stage === 'title',
  onReady: async result => {
    const files = await content.all, instance = await next;
    for (const name of own.keys()) {
      if (result.files.has(name)) continue;
      if (files.get(name)) instance?.FS.writeFile(name, files.get(name));
      else instance?.FS.unlink(name);
    }
    own.clear();
    for (const [name, data] of result.files) {
      own.set(name, data);
      instance?.FS.writeFile(name, data);
    }
    ownLines.forEach(line => line.remove());
    ownLines = result.errors.map(reportProblem);
    DemoPage.own = { pictures: result.pictures, module: result.module, errors: result.errors };
  },
});

async function prepare() {
  const instance = await newInstance(await program, new Map([...await content.all, ...own]));
  DemoPage.ready = instance !== null;
  window.Module ??= instance;  // the page's tests and benchmark render through it
  if (stage === 'title') progressLine.textContent = '';
  return instance;
}

try {
  const [, first] = await Promise.all([program, content.first]);
  showTitle(first);
  next = prepare();
} catch (error) {
  cannotStart(error.message);
}
