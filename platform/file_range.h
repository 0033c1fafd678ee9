#pragma once
// Reads part of a file the way the music calls address a module file.

#include <cstdint>
#include <vector>

#include "facts/content.h"

// `length` bytes of the file `name` from `offset`, or the rest of the file
// from `offset` when `length` is 0 (a length past the end reads to the end).
// False when the file cannot be read, is not a regular file, the range holds
// no bytes or more than MaxModuleBytes; all but a missing file are named on
// standard error.
bool ReadFileRange(const char* name, uint32_t offset, uint32_t length, std::vector<char>& data);
