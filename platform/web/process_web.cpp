// Process services on a web page, where the show runs on the browser's one
// thread and must hand it back to let the page live.

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cstdio>

#include "platform/process.h"

namespace {

EM_JS(void, ShowEndScreen, (int exitCode), { DemoPage.end(exitCode); });
// The program's stack is left suspended for good: nothing of it runs again,
// and the page stays as it is.
EM_ASYNC_JS(void, Halt, (), { await new Promise(() => {}); });

}  // namespace

// Sleep(0) asks for nothing: every flip already hands the thread to the
// browser until its next animation frame.
void Sleep(DWORD milliseconds) {
    if (milliseconds != 0) emscripten_sleep(milliseconds);
}

void ExitProcess(UINT exitCode) {
    std::fflush(nullptr);
    ShowEndScreen(static_cast<int>(exitCode));
    for (;;) Halt();
}
