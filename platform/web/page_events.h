#pragma once
// What the page's event listeners report to the window stand-in through
// DemoPageEvent; page.js uses the same numbers.

enum PageEvent {
    PageEscapeDown = 1,
    PageEscapeUp = 2,
    PagePointerOver = 3,  // the pointer moved over the canvas
    PageShown = 4,        // the page became visible
    PageHidden = 5,
};
