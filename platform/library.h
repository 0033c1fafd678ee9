#pragma once
// Run-time loading of the show's component libraries. The "libraries" are
// built into the program: "ddraw.dll" is the platform's display device.

#include "platform/types.h"

using HMODULE = struct ModuleObject*;
using FARPROC = void (*)();

// Null when no library of that name (compared without case) exists.
HMODULE LoadLibraryA(const char* fileName);
// Null when the library has no such export.
FARPROC GetProcAddress(HMODULE module, const char* procName);
BOOL FreeLibrary(HMODULE module);
