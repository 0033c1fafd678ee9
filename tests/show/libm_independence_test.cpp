// The pixels depend on the C library's sin and cos only through integers:
// the sine table's entries, the rotozoom's 16.16 steps and the radial blur's
// 16.16 step. Libraries differ in the last bit of some sines (the page's and
// the system's do); these tests nudge every sine and cosine the show asks
// for by up to four representable values either way, more than two
// correctly rounded-or-faithful libraries can differ by, and require the same
// integers. All three are monotone in the sine or cosine they take, so the
// two extreme nudges settle every value between.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "fx/plasma.h"
#include "fx/radial_blur.h"
#include "fx/rotozoom.h"
#include "show/render_frame.h"

namespace {

int Nudge = 0;         // representable values added to every sine and cosine
bool Flatten = false;  // sine 0 and cosine 1 everywhere: shows the calls land here

using Function = double (*)(double);
const Function SystemSin = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "sin"));
const Function SystemCos = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "cos"));

double Nudged(double value) {
    for (int i = 0; i < Nudge; ++i) value = std::nextafter(value, 2.0);
    for (int i = 0; i > Nudge; --i) value = std::nextafter(value, -2.0);
    return value;
}

}  // namespace

// The show's own calls come here (the compiler may merge a sine and a cosine
// of one angle into sincos).
extern "C" double sin(double x) { return Flatten ? 0.0 : Nudged(SystemSin(x)); }
extern "C" double cos(double x) { return Flatten ? 1.0 : Nudged(SystemCos(x)); }
extern "C" void sincos(double x, double* s, double* c) {
    *s = sin(x);
    *c = cos(x);
}

namespace {

constexpr int Nudges[] = {-4, 4};

class LibmIndependence : public testing::Test {
protected:
    void TearDown() override {
        Nudge = 0;
        Flatten = false;
    }
};

TEST_F(LibmIndependence, TheShowsCallsAreTheOnesNudged) {
    ASSERT_NE(SystemSin, nullptr);
    Flatten = true;
    BuildSineTable();
    EXPECT_EQ(SineTable[0], 256);
    EXPECT_EQ(SineTable[SineTableSize - 1], 256);
    EXPECT_EQ(ComputeRotozoomSteps(1.0f, 0.5f).ks, 0);
    EXPECT_EQ(BlurFactor(600), BlurFactor(0));
}

TEST_F(LibmIndependence, SineTable) {
    BuildSineTable();
    static int32_t reference[SineTableSize];
    std::memcpy(reference, SineTable, sizeof reference);
    for (int nudge : Nudges) {
        Nudge = nudge;
        BuildSineTable();
        for (int i = 0; i < SineTableSize; ++i) ASSERT_EQ(SineTable[i], reference[i]) << "entry " << i << ", nudge " << nudge;
    }
}

// Every millisecond of a segment, for both pictures on screen.
TEST_F(LibmIndependence, RotozoomSteps) {
    for (uint32_t d = 0; d < SegmentMilliseconds; ++d) {
        const FrameTimeline t = ComputeTimeline(d);
        const RotozoomSteps current = ComputeRotozoomSteps(t.zoom, t.angle);
        const RotozoomSteps next = ComputeRotozoomSteps(t.nextZoom, t.nextAngle);
        for (int nudge : Nudges) {
            Nudge = nudge;
            const RotozoomSteps nudgedCurrent = ComputeRotozoomSteps(t.zoom, t.angle);
            const RotozoomSteps nudgedNext = ComputeRotozoomSteps(t.nextZoom, t.nextAngle);
            Nudge = 0;
            ASSERT_EQ(nudgedCurrent.kc, current.kc) << "d " << d << ", nudge " << nudge;
            ASSERT_EQ(nudgedCurrent.ks, current.ks) << "d " << d << ", nudge " << nudge;
            ASSERT_EQ(nudgedNext.kc, next.kc) << "d " << d << ", nudge " << nudge;
            ASSERT_EQ(nudgedNext.ks, next.ks) << "d " << d << ", nudge " << nudge;
        }
    }
}

// The blur's clock reading is never periodic in the sine's argument, so
// every reading counts: here the first 2^25 ms (over nine hours of show), or
// all 2^32 with DEMO_LIBM_ALL_READINGS=1 in the environment (minutes; run by
// hand).
TEST_F(LibmIndependence, RadialBlurStep) {
#ifdef DEMO_SANITIZED
    uint64_t readings = uint64_t{1} << 20;
#else
    uint64_t readings = uint64_t{1} << 25;
#endif
    if (const char* all = std::getenv("DEMO_LIBM_ALL_READINGS"); all && std::strcmp(all, "1") == 0)
        readings = uint64_t{1} << 32;
    for (uint64_t reading = 0; reading < readings; ++reading) {
        const uint32_t elapsed = static_cast<uint32_t>(reading);
        Nudge = Nudges[0];
        const int32_t low = RadialBlurStep(BlurFactor(elapsed));
        Nudge = Nudges[1];
        const int32_t high = RadialBlurStep(BlurFactor(elapsed));
        ASSERT_EQ(low, high) << "elapsed " << elapsed;
    }
}

}  // namespace
