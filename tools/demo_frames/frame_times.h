#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One argument of the frame tool: a single time (end == start + 1, step 1) or
// the range START:END:STEP, meaning START, START + STEP, ... below END.
struct FrameTimes {
    uint64_t start;
    uint64_t end;
    uint64_t step;
};

// Parses a time argument in milliseconds; times must fit in 32 bits and a
// range must name at least one time. On failure `error` says why.
std::optional<FrameTimes> ParseFrameTimes(const std::string& text, std::string& error);
