#include "capture/progress.h"

#include <cmath>

namespace {

std::string Duration(double seconds) {
    const long whole = std::lround(seconds);
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

ProgressMeter::ProgressMeter(std::FILE* out, bool terminal, int64_t total, int fps)
    : out_(out), terminal_(terminal), total_(total), fps_(fps) {}

double ProgressMeter::Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

std::string ProgressMeter::Line(int64_t done, double seconds) const {
    constexpr int Width = 24;
    const int filled = total_ > 0 ? static_cast<int>(done * Width / total_) : Width;
    const double speed = seconds > 0 ? static_cast<double>(done) / fps_ / seconds : 0;
    char text[160];
    std::snprintf(text, sizeof text, "[%s%s] %lld/%lld frames  %.2fx real time  ",
                  std::string(filled, '#').c_str(), std::string(Width - filled, '.').c_str(),
                  static_cast<long long>(done), static_cast<long long>(total_), speed);
    std::string line = text;
    if (done == total_)
        line += "done in " + Duration(seconds);
    else if (speed > 0)
        line += Duration(static_cast<double>(total_ - done) / fps_ / speed) + " left";
    return line;
}

void ProgressMeter::Update(int64_t done) {
    done_ = done;
    if (!terminal_) return;
    const Clock::time_point now = Clock::now();
    if (shown_ && done != total_ && now - drawn_ < std::chrono::milliseconds(100)) return;
    drawn_ = now;
    shown_ = true;
    // Clearing to the end of the line covers a longer line drawn before.
    std::fprintf(out_, "\r%s\033[K", Line(done, Seconds()).c_str());
    std::fflush(out_);
}

void ProgressMeter::Finish(const std::string& what) {
    if (shown_) {
        std::fputc('\n', out_);
        return;
    }
    if (what.empty()) return;
    const double seconds = Seconds();
    const double video = static_cast<double>(done_) / fps_;
    std::fprintf(out_, "%s: %lld frames, %.1f s of video in %.1f s (%.2fx real time)\n", what.c_str(),
                 static_cast<long long>(done_), video, seconds, seconds > 0 ? video / seconds : 0.0);
}
