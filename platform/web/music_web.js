// The music stand-in's page half, linked into the program with --js-library
// beside music_web.cpp: libopenmpt in the chiptune3 audio worklet, whose
// player class the page hands over as Module.musicPlayer (a promise of it, or
// of null when it could not be loaded), and how long to wait for its answers
// as Module.limits. Each step that the program waits for resolves to 1 on
// success and 0 on failure; a failure is one line on standard error, and the
// show goes on without sound. Module.music.status
// tells the page's tests whether the worklet reports playing. (No ?. or ??
// here: the minifier of Debian's emscripten does not know them.)
mergeInto(LibraryManager.library, {
  $PageMusic__postset: "Module['music'] = PageMusic;",
  $PageMusic: {
    player: null,
    audio: null,
    orders: 0,
    waiting: null,  // the step in progress: {kind, resolve, timer}
    metadataLeft: 0,
    status: { playing: false, reports: 0, order: -1, row: -1 },

    settle: function (kind, value) {
      if (!PageMusic.waiting || PageMusic.waiting.kind !== kind) return;
      const { resolve, timer } = PageMusic.waiting;
      PageMusic.waiting = null;
      clearTimeout(timer);
      resolve(value);
    },

    wait: function (kind, milliseconds, onTimeout) {
      return new Promise(resolve => {
        const timer = setTimeout(() => { onTimeout(); PageMusic.settle(kind, 0); }, milliseconds);
        PageMusic.waiting = { kind, resolve, timer };
      });
    },

    open: async function (frequency) {
      const Player = await Module['musicPlayer'];
      if (!Player) return 0;
      try {
        PageMusic.audio = new AudioContext({ sampleRate: frequency });
        PageMusic.player = new Player({ context: PageMusic.audio, repeatCount: -1 });
      } catch (error) {
        err(`demo: no sound output (${error}): the show plays silently`);
        PageMusic.close();
        return 0;
      }
      const audio = PageMusic.audio, player = PageMusic.player, status = PageMusic.status;
      player.onInitialized(() => {
        player.gain.connect(audio.destination);
        PageMusic.settle('open', 1);
      });
      player.onMetadata(meta => {
        PageMusic.orders = (meta && meta.totalOrders) || 0;
        if (--PageMusic.metadataLeft === 0) PageMusic.settle('load', 1);
      });
      player.onError(() => PageMusic.settle('load', 0));
      player.onProgress(progress => {
        status.reports++;
        status.order = progress.order;
        status.row = progress.row;
        if (status.playing) PageMusic.settle('play', 1);
      });
      const opened = await PageMusic.wait('open', Module['limits']['worklet'], () =>
        err('demo: the music player did not start (its worklet did not load): the show plays silently'));
      if (!opened) PageMusic.close();
      return opened;
    },

    // Loaded paused; the second metadata report, asked for after the pause,
    // comes after every position report the brief start before it sent.
    load: function (buffer) {
      PageMusic.metadataLeft = 2;
      const loaded = PageMusic.wait('load', Module['limits']['worklet'], () => {});
      PageMusic.player.play(buffer);
      PageMusic.player.pause();
      PageMusic.player.postMsg('meta');
      return loaded;
    },

    play: function () {
      PageMusic.status.playing = true;
      const started = PageMusic.wait('play', Module['limits']['sound'], () => {
        PageMusic.pause();
        err('demo: the sound output did not start: the show plays silently');
      });
      PageMusic.player.unpause();
      return started;
    },

    pause: function () {
      PageMusic.status.playing = false;
      PageMusic.player.pause();
    },

    close: function () {
      if (PageMusic.player) PageMusic.player.stop();
      PageMusic.player = null;
      PageMusic.status.playing = false;
      if (PageMusic.audio) PageMusic.audio.close();
      PageMusic.audio = null;
    },
  },

  DemoMusicOpen__deps: ['$PageMusic', '$Asyncify'],
  DemoMusicOpen: function (frequency) {
    return Asyncify.handleAsync(() => PageMusic.open(frequency));
  },
  DemoMusicClose__deps: ['$PageMusic'],
  DemoMusicClose: function () { PageMusic.close(); },
  // 1 when the worklet took the module, stopped at its start.
  DemoMusicLoad__deps: ['$PageMusic', '$Asyncify'],
  DemoMusicLoad: function (data, size) {
    return Asyncify.handleAsync(() => PageMusic.load(HEAPU8.slice(data, data + size).buffer));
  },
  DemoMusicUnload__deps: ['$PageMusic'],
  DemoMusicUnload: function () {
    PageMusic.player.stop();
    PageMusic.status.playing = false;
  },
  DemoMusicSeek__deps: ['$PageMusic'],
  DemoMusicSeek: function (order, row) {
    if (order >= PageMusic.orders) return 0;
    PageMusic.player.setOrderRow(order, row);
    return 1;
  },
  // 1 once the worklet reports that it plays.
  DemoMusicPlay__deps: ['$PageMusic', '$Asyncify'],
  DemoMusicPlay: function () { return Asyncify.handleAsync(PageMusic.play); },
  DemoMusicPause__deps: ['$PageMusic'],
  DemoMusicPause: function () { PageMusic.pause(); },
});
