#include "tools/demo_frames/frame_times.h"

namespace {

constexpr uint64_t LargestTime = UINT32_MAX;

std::optional<uint64_t> ParseNumber(const std::string& text, uint64_t largest) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > largest) return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<FrameTimes> ParseFrameTimes(const std::string& text, std::string& error) {
    const size_t first = text.find(':');
    if (first == std::string::npos) {
        const auto time = ParseNumber(text, LargestTime);
        if (!time) {
            error = "'" + text + "' is not a time in milliseconds (0 to 4294967295)";
            return std::nullopt;
        }
        return FrameTimes{*time, *time + 1, 1};
    }
    const size_t second = text.find(':', first + 1);
    if (second == std::string::npos) {
        error = "'" + text + "' is not a range START:END:STEP";
        return std::nullopt;
    }
    const auto start = ParseNumber(text.substr(0, first), LargestTime);
    const auto end = ParseNumber(text.substr(first + 1, second - first - 1), LargestTime + 1);
    const auto step = ParseNumber(text.substr(second + 1), LargestTime);
    if (!start || !end || !step || *step == 0) {
        error = "'" + text + "' is not a range START:END:STEP of whole milliseconds with STEP above 0";
        return std::nullopt;
    }
    if (*start >= *end) {
        error = "range '" + text + "' holds no time: START must be below END";
        return std::nullopt;
    }
    return FrameTimes{*start, *end, *step};
}
