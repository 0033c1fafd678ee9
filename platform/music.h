#pragma once
// The music library: one tracker module at a time, played in the background
// and looping forever. It runs on SDL's audio output (sdl/music_openmpt.cpp)
// or in a web page's audio worklet (web/music_web.cpp).
// Every call returns non-zero on success and 0 on failure; with no audio
// device or no module the calls fail quietly and nothing is heard.
// All calls are meant for one thread.

#include "platform/types.h"

// device -1 opens the default output (no other device is known), `frequency`
// is the output rate in Hz; no flags are defined. Fails if already running.
BOOL BASSMOD_Init(int device, DWORD frequency, DWORD flags);
// Closes the output and frees the module.
void BASSMOD_Free();

// Loads a module from the file `file` (a file name; loading from memory,
// mem TRUE, is not supported): `length` bytes from `offset`, or the rest of
// the file from `offset` when `length` is 0. Replaces the loaded module; the
// new one is stopped at its start. No flags are defined.
BOOL BASSMOD_MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags);
void BASSMOD_MusicFree();

// A position is an order number in the low word and a row in the high word.
BOOL BASSMOD_MusicSetPosition(DWORD position);
// Positions would be reported in 1/scale rows; accepts scales 1 to 256.
BOOL BASSMOD_MusicSetPositionScaler(DWORD scale);
// Starts playing from `position` (0xFFFFFFFF: where it stands). Every jump
// starts from a clean state, so `reset` needs nothing more; no flags are
// defined.
BOOL BASSMOD_MusicPlayEx(DWORD position, int flags, BOOL reset);
// Pauses the module where it stands.
BOOL BASSMOD_MusicStop();
