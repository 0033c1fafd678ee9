#pragma once
// Every name that passes between the web page (web/) and the show's program
// built for it (demo.js, demo.wasm). The program exports exactly the functions
// declared here, and the build stops when the page, its tests or the program's
// page halves use a name of the other side that is not listed here
// (platform/web/CMakeLists.txt).

#include <cstdint>

// For every show the page makes a fresh program, createDemo(settings) from
// demo.js, and runs it with Module.callMain([]). Of the settings, the program reads
//   Module.canvas       the page's canvas of PictureWidth x PictureHeight pixels: the one window
//   Module.musicPlayer  a promise of the music worklet's player class, or of null: the show plays silently
//   Module.limits       { worklet, sound }: milliseconds to wait for the worklet's answers and the sound's start
//   Module.printErr     the program's standard error; the page shows the lines that begin "demo: "
// and it sets Module.music, the music stand-in: .status { playing, reports, order, row }.
// Before main the page writes the content with Module.FS.writeFile, each file as
// the show reads it: the pictures 01.raw ... 23.raw and the module kimo.xm
// (PictureFileName, ModuleFileName); a file left out is content that is missing.
// Also exported, the runtime's: _main, _malloc, _free, Module.callMain, Module.FS.
// Module.HEAPU8 and Module.HEAPU32 are always there.

// The program calls the page, window.DemoPage:
//   DemoPage.present(bytes)  a frame's pixels as red, green, blue, alpha bytes; resolves at the next animation frame
//   DemoPage.end(exitCode)   the program has ended for good: the end screen, and a fresh program for the next show
// and the page's tests and benchmarks read
//   DemoPage.stage   'loading', 'title', 'starting', 'show', 'ended' or 'failed'
//   DemoPage.ready   the next show's program holds all the content
//   DemoPage.frames  frames presented so far
//   DemoPage.music   Module.music of the show under way, or of the next
//   DemoPage.own     the viewer's latest own files: { pictures, module, errors }

// While the show's window is open, the window stand-in's page half listens
// for Escape's keydown and keyup on the window (the page's control that ends
// the show sends such a pair), mousemove on Module.canvas and visibilitychange
// on the document, and reports them to DemoPageEvent as
enum PageEvent {
    PageEscapeDown = 1,
    PageEscapeUp = 2,
    PagePointerOver = 3,  // the pointer moved over the canvas
    PageShown = 4,        // the page became visible
    PageHidden = 5,
};

extern "C" {
void DemoPageEvent(int event);

// The viewer's own files (web/own_files.js): the largest image and image
// file demo-pictures converts, and the largest module the show plays.
double DemoOwnImageMaxPixels();
double DemoOwnImageMaxFileBytes();
double DemoOwnModuleMaxFileBytes();
// Room for a decoded image, which the page fills with its red, green, blue,
// alpha bytes row by row; null for a size refused or when memory is short.
uint8_t* DemoOwnImage(int width, int height);
// That image laid over black and scaled, as demo-pictures convert does, into
// a picture file's PictureBytes bytes.
const uint8_t* DemoOwnPicture();

// For the tests and benchmark: frames at `times` (ms) as demo-frames renders
// them, PicturePixels words each; the mean microseconds of a frame at the
// portable level (simd 0) or the page's (1).
void DemoRenderFrames(const uint32_t* times, int count, uint32_t* frames);
double DemoFrameMicroseconds(int simd, int frames);
}
