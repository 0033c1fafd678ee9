// The music library on SDL: libopenmpt renders the module in SDL's audio
// callback, and the calls lock the audio thread out while they change it.

#include <SDL.h>
#include <dlfcn.h>
#include <errno.h>
#include <libopenmpt/libopenmpt.h>

#include <cstdio>
#include <cstring>

#include "platform/module_file.h"
#include "platform/music.h"

namespace {

struct Output {
    SDL_AudioDeviceID device = 0;
    int rate = 0;
    openmpt_module* module = nullptr;  // guarded by the device lock
    bool playing = false;              // likewise
};

Output Music;

// Runs on SDL's audio thread with the device locked.
void Render(void*, Uint8* stream, int bytes) {
    const size_t frames = static_cast<size_t>(bytes) / (2 * sizeof(int16_t));
    size_t rendered = 0;
    if (Music.module && Music.playing)
        rendered = openmpt_module_read_interleaved_stereo(Music.module, Music.rate, frames,
                                                          reinterpret_cast<int16_t*>(stream));
    std::memset(stream + rendered * 2 * sizeof(int16_t), 0, (frames - rendered) * 2 * sizeof(int16_t));
}

class DeviceLock {
public:
    DeviceLock() { SDL_LockAudioDevice(Music.device); }
    ~DeviceLock() { SDL_UnlockAudioDevice(Music.device); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
};

// Position words: order in the low 16 bits, row in the high 16.
bool Seek(DWORD position) {
    const int order = static_cast<int>(position & 0xFFFF);
    const int row = static_cast<int>(position >> 16);
    if (order >= openmpt_module_get_num_orders(Music.module)) return false;
    openmpt_module_set_position_order_row(Music.module, order, row);
    return true;
}

// Installs `module`, stopped, in place of the current one, which is destroyed
// outside the lock so that the audio thread is not held up.
void ReplaceModule(openmpt_module* module) {
    openmpt_module* old;
    {
        DeviceLock lock;
        old = Music.module;
        Music.module = module;
        Music.playing = false;
    }
    if (old) openmpt_module_destroy(old);
}

// ALSA's library prints its own diagnostics, eight lines when no card is
// there, while SDL tries it as one sound system among others. SDL loads it
// at run time, so its handler is set the same way, before SDL opens it.
void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa() {
    using Handler = decltype(&IgnoreAlsaMessage);
    static void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);  // stays loaded, as SDL keeps it
    if (!alsa) return;
    const auto setHandler = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler) setHandler(IgnoreAlsaMessage);
}

// Whether the sound device opened is the show's own news, not SDL's.
BOOL NoSoundDevice() {
    std::fprintf(stderr, "%s: no sound device: the show runs silently\n", program_invocation_short_name);
    return FALSE;
}

}  // namespace

BOOL BASSMOD_Init(int device, DWORD frequency, DWORD) {
    if (Music.device || device != -1 || frequency == 0 || frequency > 192000) return FALSE;
    SilenceAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return NoSoundDevice();
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(frequency);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = Render;
    Music.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (!Music.device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return NoSoundDevice();
    }
    Music.rate = wanted.freq;
    SDL_PauseAudioDevice(Music.device, 0);  // silence until a module plays
    return TRUE;
}

void BASSMOD_Free() {
    if (!Music.device) return;
    SDL_CloseAudioDevice(Music.device);  // waits for the audio thread
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (Music.module) openmpt_module_destroy(Music.module);
    Music = {};
}

BOOL BASSMOD_MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD) {
    if (!Music.device || mem) return FALSE;
    openmpt_module* module = OpenModuleFile(static_cast<const char*>(file), offset, length);
    if (!module) return FALSE;
    ReplaceModule(module);
    return TRUE;
}

void BASSMOD_MusicFree() {
    if (Music.device) ReplaceModule(nullptr);
}

BOOL BASSMOD_MusicSetPosition(DWORD position) {
    if (!Music.device) return FALSE;
    DeviceLock lock;
    return Music.module && Seek(position);
}

BOOL BASSMOD_MusicSetPositionScaler(DWORD scale) { return Music.device && scale >= 1 && scale <= 256; }

BOOL BASSMOD_MusicPlayEx(DWORD position, int, BOOL) {
    if (!Music.device) return FALSE;
    DeviceLock lock;
    if (!Music.module || (position != 0xFFFFFFFF && !Seek(position))) return FALSE;
    Music.playing = true;
    return TRUE;
}

BOOL BASSMOD_MusicStop() {
    if (!Music.device) return FALSE;
    DeviceLock lock;
    if (!Music.module) return FALSE;
    Music.playing = false;
    return TRUE;
}
