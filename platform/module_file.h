#pragma once
// Opens a tracker module file for libopenmpt the way the show plays it:
// looping forever and without dither, so that every render of it gives the
// same samples. Shared by the music stand-in and the tools that render the
// show's sound.

#include <libopenmpt/libopenmpt.h>

#include <cstdint>

#include "platform/file_range.h"

// `length` bytes of the file `name` from `offset`, or the rest of the file
// from `offset` when `length` is 0. Null when the file cannot be read, is not
// a regular file, holds more than MaxModuleBytes from `offset` or is not a
// module libopenmpt plays; all but a missing file are named on standard error.
openmpt_module* OpenModuleFile(const char* name, uint32_t offset = 0, uint32_t length = 0);
