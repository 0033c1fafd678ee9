#include "platform/clock.h"

#include <ctime>

namespace {

uint32_t MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

uint32_t (*ClockSource)() = MonotonicMilliseconds;

}  // namespace

uint32_t timeGetTime() { return ClockSource(); }

void SetClockSource(uint32_t (*source)()) { ClockSource = source ? source : MonotonicMilliseconds; }
