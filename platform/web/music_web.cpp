// The music calls on a web page: libopenmpt runs in the page's audio
// worklet, and these calls drive it through the stand-in's page half
// (music_web.js), each waiting for the worklet's answer where the caller
// needs one.

#include <cstdio>
#include <vector>

#include "platform/file_range.h"
#include "platform/music.h"

// The page half; Open, Load and Play wait (Asyncify) for the worklet.
extern "C" {
int DemoMusicOpen(int frequency);
void DemoMusicClose();
int DemoMusicLoad(const char* data, int size);
void DemoMusicUnload();
int DemoMusicSeek(int order, int row);
int DemoMusicPlay();
void DemoMusicPause();
}

namespace {

bool Running = false;  // the audio output is open
bool Loaded = false;   // a module is in the worklet

bool Seek(DWORD position) { return DemoMusicSeek(static_cast<int>(position & 0xFFFF), static_cast<int>(position >> 16)); }

}  // namespace

BOOL BASSMOD_Init(int device, DWORD frequency, DWORD) {
    if (Running || device != -1 || frequency == 0 || frequency > 192000) return FALSE;
    Running = DemoMusicOpen(static_cast<int>(frequency));
    return Running ? TRUE : FALSE;
}

void BASSMOD_Free() {
    if (!Running) return;
    DemoMusicClose();
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
    Loaded = DemoMusicLoad(data.data(), static_cast<int>(data.size()));
    if (!Loaded) std::fprintf(stderr, "demo: %s is not a module the player knows: the show plays silently\n", name);
    return Loaded ? TRUE : FALSE;
}

void BASSMOD_MusicFree() {
    if (Running && Loaded) DemoMusicUnload();
    Loaded = false;
}

BOOL BASSMOD_MusicSetPosition(DWORD position) { return Running && Loaded && Seek(position); }

BOOL BASSMOD_MusicSetPositionScaler(DWORD scale) { return Running && scale >= 1 && scale <= 256; }

BOOL BASSMOD_MusicPlayEx(DWORD position, int, BOOL) {
    if (!Running || !Loaded || (position != 0xFFFFFFFF && !Seek(position))) return FALSE;
    return DemoMusicPlay() ? TRUE : FALSE;
}

BOOL BASSMOD_MusicStop() {
    if (!Running || !Loaded) return FALSE;
    DemoMusicPause();
    return TRUE;
}
