#pragma once
// The show's millisecond clock: whole milliseconds in 32 bits, wrapping.

#include <cstdint>

uint32_t timeGetTime();

// Replaces the clock's source, so that tests and tools can choose the time;
// nullptr restores the system's monotonic clock.
void SetClockSource(uint32_t (*source)());
