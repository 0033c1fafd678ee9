#pragma once
// Progress of a long job on standard error: on a terminal a one-line bar
// redrawn at most ten times a second, otherwise one summary line at the end.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

class ProgressMeter {
public:
    // `total` frames at `fps` frames per second of video.
    ProgressMeter(std::FILE* out, bool terminal, int64_t total, int fps);

    void Update(int64_t done);

    // Ends the bar; without one, prints `what` followed by the figures, unless
    // `what` is empty (the job failed).
    void Finish(const std::string& what);

private:
    std::string Line(int64_t done, double seconds) const;
    using Clock = std::chrono::steady_clock;
    double Seconds() const;

    std::FILE* out_;
    bool terminal_;
    int64_t total_;
    int fps_;
    int64_t done_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point drawn_{};
    bool shown_ = false;
};
