#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "display/display.h"
#include "display/present.h"
#include "tests/display/fake_platform.h"

namespace {

using Calls = std::vector<std::string>;

const std::string SurfaceSize = std::to_string(sizeof(DDSURFACEDESC));
const std::string TwoBackBuffers = "CreateSurface size " + SurfaceSize + " flags 0x21 count 2 caps 0x4218 outer (nil)";
const std::string OneBackBuffer = "CreateSurface size " + SurfaceSize + " flags 0x21 count 1 caps 0x4218 outer (nil)";
const std::string PlainPrimary = "CreateSurface size " + SurfaceSize + " flags 0x1 count 0 caps 0x4200 outer (nil)";

const Calls ShutdownCalls = {
    "primary Release", "RestoreDisplayMode", "SetCooperativeLevel main 0x8", "DirectDraw Release",
    "DestroyWindow main", "FreeLibrary ddraw",
};

class Display : public ::testing::Test {
protected:
    void SetUp() override { ResetFake(); }
};

// Set up, activated through the window and given a frame, the display shows
// the frame's band on a 1920 x 1080 screen, each pixel 6 x 6, centred on
// black; a mode too short for the band is shown whole.
TEST_F(Display, APresentedFrameLandsOnTheScreenAsItsBandEnlargedAndCentred) {
    struct Case {
        int modeHeight, firstRow, rows, top;
    };
    static Picture frame;
    for (int i = 0; i < PicturePixels; ++i) frame.Pixels[i] = static_cast<uint32_t>(i) + 1;
    for (const Case& shown : {Case{240, 32, 176, 12}, Case{160, 0, 160, 60}}) {
        SCOPED_TRACE(shown.modeHeight);
        ResetFake();
        ASSERT_EQ(InitDisplay("test", 320, shown.modeHeight), 1);
        Fake.messages.Post(FakeWindow(), WM_ACTIVATEAPP, 1);
        ASSERT_EQ(PresentFrame(frame), 1);
        ASSERT_EQ(Fake.screen.size(), 1920u * 1080u);
        int wrong = 0;
        for (int y = 0; y < 1080; ++y)
            for (int x = 0; x < 1920; ++x) {
                const int row = (y - shown.top) / 6;
                const bool inside = y >= shown.top && row < shown.rows;
                const uint32_t expected = inside ? frame.Pixels[(shown.firstRow + row) * 320 + x / 6] : 0;
                wrong += Fake.screen[y * 1920 + x] != expected;
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(Display, A16BitOnlyDisplayIsAcceptedAfter32And24Fail) {
    Fake.depths = {16};
    Fake.pixelFormat = {32, DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0};
    EXPECT_EQ(InitDisplay("test", 320, 240), 1);
    EXPECT_EQ(Converter, ConvertRGB565);
    const Calls modes(Fake.calls.begin() + 6, Fake.calls.begin() + 9);
    EXPECT_EQ(modes, (Calls{"SetDisplayMode 320x240x32", "SetDisplayMode 320x240x24", "SetDisplayMode 320x240x16"}));
}

TEST_F(Display, TwentyFourBitsAreTriedSecond) {
    Fake.depths = {24, 16};
    Fake.pixelFormat = {32, DDPF_RGB, 0, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0};
    EXPECT_EQ(InitDisplay("test", 320, 240), 1);
    EXPECT_EQ(Converter, ConvertPack24Swap);
    EXPECT_EQ(std::count(Fake.calls.begin(), Fake.calls.end(), "SetDisplayMode 320x240x16"), 0);
}

TEST_F(Display, SurfacesFallBackToOneBackBufferThenThePlainPrimaryWhichCannotFlip) {
    Fake.backBufferCounts = {1};
    EXPECT_EQ(InitDisplay("test", 320, 240), 1);
    EXPECT_EQ(Calls(Fake.calls.begin() + 7, Fake.calls.begin() + 9), (Calls{TwoBackBuffers, OneBackBuffer}));

    // The plain primary is created, but it has no back buffer to draw into.
    ResetFake();
    Fake.backBufferCounts = {0};
    EXPECT_EQ(InitDisplay("test", 320, 240), 0);
    EXPECT_EQ(Calls(Fake.calls.begin() + 7, Fake.calls.end()),
              (Calls{TwoBackBuffers, OneBackBuffer, PlainPrimary, "primary GetAttachedSurface 0x4"}));
    EXPECT_EQ(BackBuffer, nullptr);
}

struct Failure {
    const char* name;
    std::function<void()> arrange;
    std::string lastCall;
};

TEST_F(Display, EachFailingStepEndsSetUpThereReleasingNothing) {
    const Failure failures[] = {
        {"library", [] { Fake.libraryLoads = false; }, "LoadLibraryA ddraw.dll"},
        {"export", [] { Fake.hasDirectDrawCreate = false; }, "GetProcAddress DirectDrawCreate"},
        {"create", [] { Fake.createResult = DDERR_GENERIC; }, "DirectDrawCreate (nil) (nil)"},
        {"cooperative level", [] { Fake.cooperativeResult = DDERR_GENERIC; }, "SetCooperativeLevel main 0x11"},
        {"every depth", [] { Fake.depths = {}; }, "SetDisplayMode 320x240x16"},
        {"every surface", [] { Fake.backBufferCounts = {}; }, PlainPrimary},
        {"pixel format", [] { Fake.pixelFormatResult = DDERR_GENERIC; }, "primary GetPixelFormat size 32"},
        {"not RGB", [] { Fake.pixelFormat.dwFlags = 0x4; }, "primary GetPixelFormat size 32"},
        {"no converter",
         [] { Fake.pixelFormat = {32, DDPF_RGB, 0, 32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0}; },
         "primary GetPixelFormat size 32"},
        {"8 bits", [] { Fake.pixelFormat = {32, DDPF_RGB, 0, 8, 0, 0, 0, 0}; }, "primary GetPixelFormat size 32"},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.name);
        ResetFake();
        failure.arrange();
        EXPECT_EQ(InitDisplay("test", 320, 240), 0);
        ASSERT_FALSE(Fake.calls.empty());
        EXPECT_EQ(Fake.calls.back(), failure.lastCall);
        EXPECT_EQ(Converter, nullptr);
        for (const std::string& call : Fake.calls) {
            EXPECT_EQ(call.find("Release"), std::string::npos);
            EXPECT_EQ(call.find("Destroy"), std::string::npos);
            EXPECT_EQ(call.find("Free"), std::string::npos);
        }
    }
}

TEST_F(Display, ShutdownReleasesInOrderAndForgets) {
    ASSERT_EQ(InitDisplay("test", 320, 240), 1);
    Fake.calls.clear();
    ShutdownDisplay();
    EXPECT_EQ(Fake.calls, ShutdownCalls);
    EXPECT_EQ(PrimarySurface, nullptr);
    EXPECT_EQ(BackBuffer, nullptr);
    EXPECT_EQ(DirectDraw, nullptr);
    EXPECT_EQ(DisplayLibrary, nullptr);
}

TEST_F(Display, ShutdownAfterAPartialSetUpReleasesWhatExists) {
    Fake.cooperativeResult = DDERR_GENERIC;
    ASSERT_EQ(InitDisplay("test", 320, 240), 0);
    Fake.calls.clear();
    ShutdownDisplay();
    EXPECT_EQ(Fake.calls, (Calls{"RestoreDisplayMode", "SetCooperativeLevel main 0x8", "DirectDraw Release",
                                 "DestroyWindow main", "FreeLibrary ddraw"}));
}

TEST_F(Display, WindowProcKeepsActivationAndHidesTheCursor) {
    EXPECT_EQ(WindowProc(FakeWindow(), WM_ACTIVATEAPP, 1, 0), 0);
    EXPECT_EQ(AppActive, 1);
    EXPECT_EQ(WindowProc(FakeWindow(), WM_ACTIVATEAPP, 0, 0), 0);
    EXPECT_EQ(AppActive, 0);
    EXPECT_EQ(WindowProc(FakeWindow(), WM_SETCURSOR, 0, 0), 0);
    EXPECT_EQ(Fake.calls, (Calls{"SetCursor (nil)"}));
}

TEST_F(Display, OtherMessagesReachTheDefaultProcedureUnchanged) {
    EXPECT_EQ(WindowProc(FakeWindow(), 0x100, 27, 0x10001), 1234);
    EXPECT_EQ(WindowProc(FakeWindow(), 0x0F, 0, -1), 1234);
    EXPECT_EQ(Fake.calls, (Calls{"DefWindowProcA main 0x100 27 65537", "DefWindowProcA main 0xf 0 -1"}));
    EXPECT_EQ(AppActive, 0);
}

TEST_F(Display, ACloseRequestReleasesTheDisplayThenEndsTheProcessWithCode0) {
    ASSERT_EQ(InitDisplay("test", 320, 240), 1);
    Fake.calls.clear();
    try {
        WindowProc(FakeWindow(), WM_CLOSE, 0, 0);
        FAIL() << "the process went on";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 0u);
    }
    Calls expected = ShutdownCalls;
    expected.push_back("ExitProcess 0");
    EXPECT_EQ(Fake.calls, expected);
}

}  // namespace
