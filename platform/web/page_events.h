#pragma once
// What the window stand-in's page half (window_web.js) reports through
// DemoPageEvent. CMake gives it the same numbers (page_events.js).

enum PageEvent {
    PageEscapeDown = 1,
    PageEscapeUp = 2,
    PagePointerOver = 3,  // the pointer moved over the canvas
    PageShown = 4,        // the page became visible
    PageHidden = 5,
};
