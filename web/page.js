// The page around the show's program (demo.js): loads the content, shows the
// title until a click, hands the program its canvas, keys and music, and
// shows the end screen. The program reaches this page through DemoPage.

import { ChiptuneJsPlayer } from './chiptune3/chiptune3.js';
import { loadContent } from './content.js';
import { keepOffline } from './offline.js';
import { takeOwnFiles } from './own_files.js';

const canvas = document.getElementById('screen');
const context = canvas.getContext('2d');
const BandTop = 32, BandBottom = 208;  // the show's letterbox band
// The numbers platform/web/page_events.h gives the page's events.
const PageEvent = { EscapeDown: 1, EscapeUp: 2, PointerOver: 3, Shown: 4, Hidden: 5 };

let stage = 'loading';  // then 'title', 'show', 'ended'
let windowAttached = false;

// The largest whole scale that fits the window, or any scale below 1.
function fitCanvas() {
  const fit = Math.min(innerWidth / canvas.width, innerHeight / canvas.height);
  const scale = fit >= 1 ? Math.floor(fit) : fit;
  canvas.style.width = `${canvas.width * scale}px`;
  canvas.style.height = `${canvas.height * scale}px`;
}
addEventListener('resize', fitCanvas);
fitCanvas();

function caption(lines) {
  context.textAlign = 'center';
  context.textBaseline = 'middle';
  context.font = '12px sans-serif';
  lines.forEach((line, i) => {
    context.fillStyle = '#000';
    context.fillText(line, canvas.width / 2 + 1, canvas.height / 2 + 1 + 16 * (i - (lines.length - 1) / 2));
    context.fillStyle = '#ddd';
    context.fillText(line, canvas.width / 2, canvas.height / 2 + 16 * (i - (lines.length - 1) / 2));
  });
}

function clearScreen() {
  context.fillStyle = '#000';
  context.fillRect(0, 0, canvas.width, canvas.height);
}

// A still of the first picture in the show's band, dimmed, under the prompt.
function showTitle(firstPicture) {
  clearScreen();
  if (firstPicture && firstPicture.length >= canvas.width * BandBottom * 4) {
    const image = context.createImageData(canvas.width, BandBottom - BandTop);
    for (let i = 0, j = BandTop * canvas.width * 4; i < image.data.length; i += 4, j += 4) {
      image.data[i] = firstPicture[j + 2] >> 1;
      image.data[i + 1] = firstPicture[j + 1] >> 1;
      image.data[i + 2] = firstPicture[j] >> 1;
      image.data[i + 3] = 255;
    }
    context.putImageData(image, 0, BandTop);
  }
  caption(['click to start']);
  stage = 'title';
}

function showEnd() {
  clearScreen();
  caption(['The show has ended.', 'Reload the page to watch it again.']);
}

// Full screen for the whole page, so that the canvas stays centred on black;
// in it, Escape goes to the show rather than to the browser where it can.
async function enterFullScreen() {
  if (document.fullscreenElement) return;
  try {
    await document.documentElement.requestFullscreen();
    await navigator.keyboard?.lock?.(['Escape']);
  } catch {
    // Full screen is a nicety: the show runs in the window just the same.
  }
}

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  else enterFullScreen();
}

function report(event) {
  if (windowAttached) Module._DemoPageEvent(event);
}

addEventListener('click', () => {
  if (stage === 'title') {
    stage = 'show';
    ownFiles.control.hidden = true;
    enterFullScreen();
    Promise.all([everything, ownFiles.settled()]).then(() => Module.callMain([]));
  } else if (stage === 'show') {
    enterFullScreen();
  }
});
addEventListener('keydown', event => {
  if (event.key === 'Escape') report(PageEvent.EscapeDown);
  else if ((event.key === 'f' || event.key === 'F') && stage !== 'ended') toggleFullScreen();
  else return;
  event.preventDefault();
});
addEventListener('keyup', event => {
  if (event.key === 'Escape') report(PageEvent.EscapeUp);
});
canvas.addEventListener('mousemove', () => report(PageEvent.PointerOver));
document.addEventListener('visibilitychange', () => report(document.hidden ? PageEvent.Hidden : PageEvent.Shown));

// The music: libopenmpt in the chiptune3 audio worklet. Each step that the
// program waits for resolves to 1 on success and 0 on failure.
class Music {
  constructor() {
    this.player = null;
    this.orders = 0;
    this.waiting = null;  // the step in progress: {kind, resolve, timer}
    this.metadataLeft = 0;
    // What the page's tests read: whether the worklet reports playing.
    this.status = { playing: false, reports: 0, order: -1, row: -1 };
  }

  settle(kind, value) {
    if (this.waiting?.kind !== kind) return;
    const { resolve, timer } = this.waiting;
    this.waiting = null;
    clearTimeout(timer);
    resolve(value);
  }

  wait(kind, milliseconds, onTimeout) {
    return new Promise(resolve => {
      const timer = setTimeout(() => { onTimeout(); this.settle(kind, 0); }, milliseconds);
      this.waiting = { kind, resolve, timer };
    });
  }

  open(frequency) {
    let audio;
    try {
      audio = new AudioContext({ sampleRate: frequency });
      this.player = new ChiptuneJsPlayer({ context: audio, repeatCount: -1 });
    } catch (error) {
      console.error(`demo: no sound output (${error}): the show runs silently`);
      return Promise.resolve(0);
    }
    this.audio = audio;
    const player = this.player;
    player.onInitialized(() => {
      player.gain.connect(audio.destination);
      this.settle('open', 1);
    });
    player.onMetadata(meta => {
      this.orders = meta?.totalOrders ?? 0;
      if (--this.metadataLeft === 0) this.settle('load', 1);
    });
    player.onError(() => this.settle('load', 0));
    player.onProgress(progress => {
      this.status.reports++;
      this.status.order = progress.order;
      this.status.row = progress.row;
      if (this.status.playing) this.settle('play', 1);
    });
    return this.wait('open', 10000, () => console.error('demo: the music player did not start: the show runs silently'));
  }

  // Loaded paused; the second metadata report, asked for after the pause,
  // comes after every position report the brief start before it sent.
  load(buffer) {
    this.metadataLeft = 2;
    const loaded = this.wait('load', 10000, () => {});
    this.player.play(buffer);
    this.player.pause();
    this.player.postMsg('meta');
    return loaded;
  }

  unload() {
    this.player.stop();
    this.status.playing = false;
  }

  seek(order, row) {
    if (order >= this.orders) return 0;
    this.player.setOrderRow(order, row);
    return 1;
  }

  play() {
    this.status.playing = true;
    const started = this.wait('play', 5000, () => {
      this.pause();
      console.error('demo: the sound output did not start: the show runs silently');
    });
    this.player.unpause();
    return started;
  }

  pause() {
    this.status.playing = false;
    this.player.pause();
  }

  close() {
    this.player.stop();
    this.status.playing = false;
    this.audio.close();
  }
}

window.DemoPage = {
  get stage() { return stage; },
  music: new Music(),
  frames: 0,  // frames presented, for the page's tests
  ready: false,  // every content file has arrived (or been given up) and is in the program's files
  image: null,

  attachWindow(attach) {
    windowAttached = attach;
    if (!attach) return;
    report(document.hidden ? PageEvent.Hidden : PageEvent.Shown);
    report(PageEvent.PointerOver);
  },

  showCursor(show) {
    canvas.style.cursor = show ? '' : 'none';
  },

  present(bytes, width, height) {
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      fitCanvas();
    }
    if (this.image?.width !== width || this.image?.height !== height) this.image = context.createImageData(width, height);
    this.image.data.set(bytes);
    context.putImageData(this.image, 0, 0);
    this.frames++;
    return new Promise(resolve => requestAnimationFrame(() => resolve()));
  },

  end() {
    stage = 'ended';
    showEnd();
    navigator.keyboard?.unlock?.();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  },
};

window.Module = {
  print: line => console.log(line),
  printErr: line => console.error(line),
};

// --- Content: the title once the program and the first picture are in; the
// rest behind it, then into the program's files under the viewer's own.
const lines = document.body.appendChild(document.createElement('div'));
lines.id = 'lines';
lines.style.cssText = 'position: fixed; left: 0; right: 0; bottom: 1em; text-align: center; color: #888; font: 13px sans-serif';
const progress = lines.appendChild(document.createElement('div'));
const say = line => {
  const shown = lines.appendChild(document.createElement('div'));
  shown.textContent = line;
  return shown;
};
const runtime = new Promise(resolve => { Module.onRuntimeInitialized = resolve; });
// The rest of the content takes the link once the program's code is in.
const programArrived = new Promise(resolve => {
  new PerformanceObserver((entries, observer) => {
    if (!entries.getEntries().some(entry => entry.name.endsWith('/demo.wasm'))) return;
    observer.disconnect();
    resolve();
  }).observe({ type: 'resource' });
});
const content = loadContent({
  onProgress: (loaded, total) => { progress.textContent = loaded < total ? `loading ${Math.floor(100 * loaded / total)} %` : ''; },
  onProblem: say,
  restAfter: Promise.race([programArrived, runtime]),
});
const own = new Map();  // the viewer's own files, which take the place of the content's
let contentFiles = new Map();
let ownLines = [];  // what the latest choice of own files left out
const everything = Promise.all([content.all, runtime]).then(([files]) => {
  contentFiles = files;
  for (const [name, data] of files) if (data && !own.has(name)) Module.FS.writeFile(name, data);
  progress.textContent = '';
  DemoPage.ready = true;
});
keepOffline(everything);
Promise.all([content.first, runtime]).then(([first]) => showTitle(first));
const ownFiles = takeOwnFiles({
  Module,
  accepting: () => stage === 'title',
  onReady: result => {
    for (const name of own.keys()) {  // an earlier choice's files give way to the content again
      if (result.files.has(name)) continue;
      if (contentFiles.get(name)) Module.FS.writeFile(name, contentFiles.get(name));
      else if (contentFiles.has(name)) Module.FS.unlink(name);
    }
    own.clear();
    for (const [name, data] of result.files) {
      own.set(name, data);
      Module.FS.writeFile(name, data);
    }
    ownLines.forEach(line => line.remove());
    ownLines = result.errors.map(say);
    DemoPage.own = { pictures: result.pictures, module: result.module, errors: result.errors };
  },
});
// --- end of content
const program = document.createElement('script');
program.src = 'demo.js';
document.body.appendChild(program);
