#pragma once
// Opening input files so that no file name can hang or flood the reader.

#include <cstdint>
#include <cstdio>

// Opens `name` for binary reading if it is a regular file, and sets `size` to
// its length. A FIFO, a device or a folder in its place is refused without
// waiting on it. On failure returns null and sets `problem` to the reason;
// errno is then the system's error, or 0 for a name that is not a regular file.
std::FILE* OpenRegularFile(const char* name, uint64_t& size, const char*& problem);

// Whether `a` and `b` both exist and are the same file, under any names.
bool SameFile(const char* a, const char* b);
