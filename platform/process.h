#pragma once
// Process services: yielding, sleeping and ending the process.

#include "platform/types.h"

// Sleep(0) gives up the rest of the time slice; otherwise waits `milliseconds`.
void Sleep(DWORD milliseconds);

// Ends the process at once with `exitCode`, like its Windows namesake: other
// threads (the audio thread) stop where they are and no static destructor
// runs under them. Standard streams are flushed first.
[[noreturn]] void ExitProcess(UINT exitCode);
