// The frame tool's time arguments. An argument either names at least one time
// the show's 32-bit clock can reach, or is refused with a reason.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/demo_frames/frame_times.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<FrameTimes> times = ParseFrameTimes(text, error);
    if (times ? times->step == 0 || times->start >= times->end || times->end > uint64_t{UINT32_MAX} + 1
              : error.empty())
        std::abort();
    return 0;
}
