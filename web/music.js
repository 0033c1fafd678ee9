// The music: libopenmpt in the chiptune3 audio worklet. Each step that the
// program waits for resolves to 1 on success and 0 on failure; a failure is
// one line for the page, and the show goes on without sound.

// Imported here rather than statically, so that the page lives without it.
const loadingPlayer = import('./chiptune3/chiptune3.js').then(module => module.ChiptuneJsPlayer, () => null);

export class Music {
  constructor(report) {
    this.report = report;
    this.player = null;
    this.audio = null;
    this.orders = 0;
    this.waiting = null;  // the step in progress: {kind, resolve, timer}
    this.metadataLeft = 0;
    // What the page's tests read: whether the worklet reports playing.
    this.status = { playing: false, reports: 0, order: -1, row: -1 };
    loadingPlayer.then(Player => {
      if (!Player) report('demo: the music player (chiptune3/chiptune3.js) could not be loaded: the show plays silently');
    });
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

  async open(frequency) {
    const Player = await loadingPlayer;
    if (!Player) return 0;
    try {
      this.audio = new AudioContext({ sampleRate: frequency });
      this.player = new Player({ context: this.audio, repeatCount: -1 });
    } catch (error) {
      this.report(`demo: no sound output (${error}): the show plays silently`);
      this.close();
      return 0;
    }
    const audio = this.audio, player = this.player;
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
    const opened = await this.wait('open', 10000, () =>
      this.report('demo: the music player did not start (its worklet did not load): the show plays silently'));
    if (!opened) this.close();
    return opened;
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
      this.report('demo: the sound output did not start: the show plays silently');
    });
    this.player.unpause();
    return started;
  }

  pause() {
    this.status.playing = false;
    this.player.pause();
  }

  close() {
    this.player?.stop();
    this.player = null;
    this.status.playing = false;
    this.audio?.close();
    this.audio = null;
  }
}
