// The music calls on a web page: libopenmpt runs in the page's audio
// worklet, and these calls drive it through the page's script (page.js), each
// waiting for the worklet's answer where the caller needs one.

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cstdio>
#include <vector>

#include "platform/file_range.h"
#include "platform/music.h"

namespace {

bool Running = false;  // the audio output is open
bool Loaded = false;   // a module is in the worklet

EM_ASYNC_JS(int, OpenOutput, (int frequency), { return await DemoPage.music.open(frequency); });
EM_JS(void, CloseOutput, (), { DemoPage.music.close(); });
// 1 when the worklet took the module, stopped at its start.
EM_ASYNC_JS(int, LoadModule, (const char* data, int size), {
    return await DemoPage.music.load(HEAPU8.slice(data, data + size).buffer);
});
EM_JS(void, UnloadModule, (), { DemoPage.music.unload(); });
EM_JS(int, SeekModule, (int order, int row), { return DemoPage.music.seek(order, row); });
// 1 once the worklet reports that it plays.
EM_ASYNC_JS(int, PlayModule, (), { return await DemoPage.music.play(); });
EM_JS(void, PauseModule, (), { DemoPage.music.pause(); });

bool Seek(DWORD position) { return SeekModule(static_cast<int>(position & 0xFFFF), static_cast<int>(position >> 16)); }

}  // namespace

BOOL BASSMOD_Init(int device, DWORD frequency, DWORD) {
    if (Running || device != -1 || frequency == 0 || frequency > 192000) return FALSE;
    Running = OpenOutput(static_cast<int>(frequency));
    return Running ? TRUE : FALSE;
}

void BASSMOD_Free() {
    if (!Running) return;
    CloseOutput();
    Running = Loaded = false;
}

BOOL BASSMOD_MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD) {
    if (!Running || mem) return FALSE;
    std::vector<char> data;
    const char* name = static_cast<const char*>(file);
    if (!ReadFileRange(name, offset, length, data)) {
        std::fprintf(stderr, "demo: cannot read module %s: the show plays silently\n", name ? name : "(none)");
        return FALSE;
    }
    BASSMOD_MusicFree();
    Loaded = LoadModule(data.data(), static_cast<int>(data.size()));
    if (!Loaded) std::fprintf(stderr, "demo: %s is not a module the player knows: the show plays silently\n", name);
    return Loaded ? TRUE : FALSE;
}

void BASSMOD_MusicFree() {
    if (Running && Loaded) UnloadModule();
    Loaded = false;
}

BOOL BASSMOD_MusicSetPosition(DWORD position) { return Running && Loaded && Seek(position); }

BOOL BASSMOD_MusicSetPositionScaler(DWORD scale) { return Running && scale >= 1 && scale <= 256; }

BOOL BASSMOD_MusicPlayEx(DWORD position, int, BOOL) {
    if (!Running || !Loaded || (position != 0xFFFFFFFF && !Seek(position))) return FALSE;
    return PlayModule() ? TRUE : FALSE;
}

BOOL BASSMOD_MusicStop() {
    if (!Running || !Loaded) return FALSE;
    PauseModule();
    return TRUE;
}
