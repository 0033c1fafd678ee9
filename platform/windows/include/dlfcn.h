#pragma once
// Windows has no libraries loaded by their Linux names (the sound system the
// music silences is Linux's): nothing is ever found.
#define RTLD_LAZY 1
#define RTLD_LOCAL 0
inline void* dlopen(const char*, int) { return nullptr; }
inline void* dlsym(void*, const char*) { return nullptr; }
