#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "show/render_frame.h"
#include "tests/pictures.h"

namespace {

TEST(Timeline, SegmentBoundariesAndTheCycle) {
    FrameTimeline t = ComputeTimeline(0);
    EXPECT_EQ(t.slot, 0);
    EXPECT_EQ(t.next, 1);
    EXPECT_EQ(t.zoom, 1.4f);
    EXPECT_EQ(t.angle, 0.0f);
    EXPECT_EQ(t.nextZoom, 2.2f);
    EXPECT_EQ(t.nextAngle, -0.8f);
    EXPECT_EQ(t.alpha, 0);
    EXPECT_EQ(t.phase, 0u);

    t = ComputeTimeline(16000);
    EXPECT_EQ(t.slot, 1);
    EXPECT_EQ(t.d, 0u);
    t = ComputeTimeline(367999);
    EXPECT_EQ(t.slot, 22);
    EXPECT_EQ(t.next, 0);
    EXPECT_EQ(t.alpha, 254);
    t = ComputeTimeline(368000);
    EXPECT_EQ(t.slot, 0);
    EXPECT_EQ(t.d, 0u);
    EXPECT_EQ(ComputeTimeline(368000 * 5 + 16000 * 3 + 7).slot, 3);
}

TEST(Timeline, CrossFadeWeight) {
    for (uint32_t d = 0; d <= 62; ++d) ASSERT_EQ(ComputeTimeline(d).alpha, 0) << d;
    EXPECT_EQ(ComputeTimeline(63).alpha, 1);
    EXPECT_EQ(ComputeTimeline(8000).alpha, 127);
    EXPECT_EQ(ComputeTimeline(15999).alpha, 254);
    for (uint32_t d = 0; d < 16000; ++d) ASSERT_LT(ComputeTimeline(d).alpha, 255);
}

TEST(Timeline, ZoomAndAngleMeetTheNextSegment) {
    const FrameTimeline end = ComputeTimeline(15999);
    EXPECT_NEAR(end.angle, 0.8f, 1e-4);
    EXPECT_NEAR(end.zoom, 1.0f, 1e-4);
    EXPECT_NEAR(end.nextZoom, 1.4f, 1e-4);
    EXPECT_NEAR(end.nextAngle, 0.0f, 1e-4);
    // Single-precision factor times d, rounded once.
    EXPECT_EQ(ComputeTimeline(12345).angle, 12345.0f * 0.00005f);
    // The next picture's zoom and angle come from the single-precision angle, in double.
    const float angle = ComputeTimeline(7777).angle;
    EXPECT_EQ(ComputeTimeline(7777).nextZoom, static_cast<float>(2.2 - static_cast<double>(angle)));
    EXPECT_EQ(ComputeTimeline(7777).nextAngle, static_cast<float>(static_cast<double>(angle) - 0.8));
}

TEST(Timeline, PlasmaPhaseAdvancesEvery33Milliseconds) {
    EXPECT_EQ(ComputeTimeline(32).phase, 0u);
    EXPECT_EQ(ComputeTimeline(33).phase, 1u);
    EXPECT_EQ(ComputeTimeline(66).phase, 2u);
    EXPECT_EQ(ComputeTimeline(3299).phase, 99u);
}

TEST(Timeline, ElapsedTimesPast2To31StayInRangeAndContinuous) {
    for (uint32_t e : {0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0xC0000000u, 0xFFFFFFFFu}) {
        const FrameTimeline t = ComputeTimeline(e);
        EXPECT_GE(t.slot, 0);
        EXPECT_LT(t.slot, 23);
        EXPECT_LT(t.d, 16000u);
        EXPECT_LE(t.alpha, 254);
    }
    EXPECT_EQ(ComputeTimeline(0x80000000u).d, (ComputeTimeline(0x7FFFFFFFu).d + 1) % 16000);
}

TEST(Timeline, BlurFactorSwingsInItsBand) {
    float lowest = 1, highest = 0;
    for (uint32_t e = 0; e < 5000; e += 7) {
        lowest = std::min(lowest, BlurFactor(e));
        highest = std::max(highest, BlurFactor(e));
    }
    EXPECT_NEAR(lowest, 0.98775f, 2e-5);
    EXPECT_NEAR(highest, 0.98926f, 2e-5);
    EXPECT_EQ(BlurFactor(0), static_cast<float>(0.987 + 0.2 * static_cast<double>(1.0f / 133)));
}

// Frames from a fresh start on the tests' pictures, which cover the whole
// picture, band or not.
class RenderFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Folder = new ScratchDirectory;
        WriteTestPictures(*Folder);
        ASSERT_EQ(chdir(Folder->Path().c_str()), 0);
    }
    static void TearDownTestSuite() {
        EXPECT_EQ(chdir("/"), 0);
        delete Folder;
    }
    void SetUp() override { StartOffscreen(); }
    static ScratchDirectory* Folder;
};
ScratchDirectory* RenderFrameTest::Folder;

TEST_F(RenderFrameTest, RowsOutsideTheBandStayBlack) {
    for (uint32_t e : {0u, 5000u, 15999u, 16000u, 367999u}) {
        ComposeFrame(e, e);
        for (const Picture* p : {&MixBuffer, &AuxBuffer, &OutputBuffer}) {
            for (int i = 0; i < BandTop * PictureWidth; ++i) ASSERT_EQ(p->Pixels[i], 0u);
            for (int i = BandBottom * PictureWidth; i < PicturePixels; ++i) ASSERT_EQ(p->Pixels[i], 0u);
        }
    }
}

TEST_F(RenderFrameTest, LongRunsStayInsideTheBank) {
    for (uint32_t e : {100u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu})
        ComposeFrame(e, e);  // the sanitizer build reports any read outside ImageBank
    SUCCEED();
}

std::vector<uint32_t> ClockReadings;
size_t ClockReads;
bool CopiedBeforeSecondReading;
uint32_t ReadClock() {
    if (ClockReads == 1) CopiedBeforeSecondReading = std::memcmp(&OutputBuffer, &MixBuffer, sizeof MixBuffer) == 0;
    return ClockReadings.at(ClockReads++);
}

// The live frame is the pure one at two clock readings: the first before the
// rotozooms, the second after the copy, each counted from StartTime across
// the clock's wrap.
TEST_F(RenderFrameTest, LiveFrameReadsTheClockBeforeTheRotozoomsAndAfterTheCopy) {
    ComposeFrame(3000, 3000);  // leaves OutputBuffer unlike MixBuffer until the copy
    StartTime = 0xFFFFFF00u;
    ClockReadings = {StartTime + 7000, StartTime + 7040};  // other phases and blur steps
    SetClockSource(ReadClock);
    RenderFrame();
    SetClockSource(nullptr);
    EXPECT_EQ(ClockReads, 2u);
    EXPECT_TRUE(CopiedBeforeSecondReading);
    static Picture live;
    live = OutputBuffer;
    SetUp();
    ComposeFrame(3000, 3000);
    ComposeFrame(7000, 7040);
    EXPECT_EQ(std::memcmp(&live, &OutputBuffer, sizeof live), 0);
}

}  // namespace
