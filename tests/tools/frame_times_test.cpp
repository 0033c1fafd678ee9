#include <gtest/gtest.h>

#include "tools/demo_frames/frame_times.h"

namespace {

std::optional<FrameTimes> Parse(const std::string& text) {
    std::string error;
    auto times = ParseFrameTimes(text, error);
    if (!times) {
        EXPECT_FALSE(error.empty()) << text;
    }
    return times;
}

TEST(FrameTimes, SingleTimesAndRanges) {
    auto t = Parse("16000");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->start, 16000u);
    EXPECT_EQ(t->end, 16001u);
    t = Parse("0:1000:250");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->start, 0u);
    EXPECT_EQ(t->end, 1000u);
    EXPECT_EQ(t->step, 250u);
    EXPECT_TRUE(Parse("4294967295"));
    EXPECT_TRUE(Parse("4294967295:4294967296:1"));
}

TEST(FrameTimes, RejectsWhatIsNotAWholeMillisecondCount) {
    for (const char* bad : {"", "-1", "1.5", "12ms", " 5", "4294967296", "99999999999999999999999",
                            "1:2", "1:2:0", "5:5:1", "6:5:1", "a:b:c", "1:2:3:4", "::", "0:10:-1"})
        EXPECT_FALSE(Parse(bad)) << bad;
}

}  // namespace
