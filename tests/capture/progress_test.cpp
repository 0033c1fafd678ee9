#include "capture/progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// What a meter writes, caught in memory.
class Written {
public:
    Written() : file_(open_memstream(&text_, &size_)) {}
    ~Written() {
        std::fclose(file_);
        std::free(text_);
    }
    std::FILE* File() const { return file_; }
    std::string Text() {
        std::fflush(file_);
        return std::string(text_, size_);
    }

private:
    char* text_ = nullptr;
    size_t size_ = 0;
    std::FILE* file_;
};

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// On a terminal: the bar is drawn at once, not again for every frame, always
// at the last one, and ended by a new line; no summary follows it.
TEST(ProgressMeter, OnATerminalDrawsABarNowAndThenAndAlwaysTheLastFrame) {
    Written out;
    ProgressMeter meter(out.File(), true, 3, 60);
    meter.Update(1);
    meter.Update(2);  // within a tenth of a second of the first: not drawn
    EXPECT_EQ(Count(out.Text(), "\r"), 1u) << out.Text();
    EXPECT_EQ(out.Text().rfind("\r[########................] 1/3 frames", 0), 0u) << out.Text();
    meter.Update(3);
    const std::string drawn = out.Text();
    EXPECT_EQ(Count(drawn, "\r"), 2u) << drawn;
    EXPECT_NE(drawn.find("\r[########################] 3/3 frames"), std::string::npos) << drawn;
    EXPECT_NE(drawn.find("done in 0:00"), std::string::npos) << drawn;
    EXPECT_EQ(drawn.substr(drawn.size() - 3), "\033[K") << "each line clears what a longer one left";
    meter.Finish("demo-capture: wrote out.mp4");
    EXPECT_EQ(out.Text(), drawn + "\n");
}

// Elsewhere (a log file, a pipe): no bar, one summary line at the end, and
// nothing at all after a failure.
TEST(ProgressMeter, ElsewhereWritesOneSummaryLineOrNothingOnFailure) {
    Written done, failed;
    ProgressMeter finished(done.File(), false, 120, 60);
    ProgressMeter broken(failed.File(), false, 120, 60);
    for (int64_t n = 1; n <= 120; ++n) finished.Update(n);
    for (int64_t n = 1; n <= 50; ++n) broken.Update(n);
    finished.Finish("demo-capture: wrote out.mp4");
    broken.Finish("");
    const std::string line = done.Text();
    EXPECT_EQ(line.rfind("demo-capture: wrote out.mp4: 120 frames, 2.0 s of video in ", 0), 0u) << line;
    EXPECT_EQ(Count(line, "\n"), 1u) << line;
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(failed.Text(), "");
}

}  // namespace
