// The window stand-in's page half, linked into the program with --js-library
// beside window_web.cpp: the page's canvas (Module.canvas) is the one window,
// and while it is the program's, the page's events reach the program as the
// PageEvent numbers of page_contract.h (page_events.js, written by CMake). A
// synthetic Escape key event, as the page's end control sends, counts as one.
mergeInto(LibraryManager.library, {
  $PageWindow__deps: ['$PageEvent'],
  $PageWindow: {
    listening: [],  // [target, type, listener] while the window is attached
    listen: function (target, type, listener) {
      target.addEventListener(type, listener);
      PageWindow.listening.push([target, type, listener]);
    },
    report: function (event) { _DemoPageEvent(event); },
    reportVisibility: function () { PageWindow.report(document.hidden ? PageEvent.Hidden : PageEvent.Shown); },
  },

  DemoAttachCanvas__deps: ['$PageWindow', '$PageEvent'],
  DemoAttachCanvas: function (attach) {
    PageWindow.listening.forEach(([target, type, listener]) => target.removeEventListener(type, listener));
    PageWindow.listening = [];
    if (!attach) return;
    const escape = (event, pageEvent) => {
      if (event.key !== 'Escape') return;
      PageWindow.report(pageEvent);
      event.preventDefault();
    };
    PageWindow.listen(window, 'keydown', event => escape(event, PageEvent.EscapeDown));
    PageWindow.listen(window, 'keyup', event => escape(event, PageEvent.EscapeUp));
    PageWindow.listen(Module['canvas'], 'mousemove', () => PageWindow.report(PageEvent.PointerOver));
    PageWindow.listen(document, 'visibilitychange', PageWindow.reportVisibility);
    PageWindow.reportVisibility();
    PageWindow.report(PageEvent.PointerOver);
  },

  DemoShowCursor: function (show) {
    Module['canvas'].style.cursor = show ? '' : 'none';
  },
});
