#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/display.h"
#include "display/present.h"
#include "tests/display/fake_platform.h"

namespace {

using Calls = std::vector<std::string>;

const std::string LockCall = "back buffer Lock (nil) size " + std::to_string(sizeof(DDSURFACEDESC)) + " flags 1 (nil)";
const Calls DrawCalls = {"primary Restore", LockCall, "back buffer Unlock memory", "primary Flip (nil) 1", "Sleep 0"};
const std::string Pump = "PeekMessageA main 0 0 1";

Picture Frame;

class Present : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFake();
        ASSERT_EQ(InitDisplay("test", 320, 240), 1);
        Fake.calls.clear();
        for (int i = 0; i < PicturePixels; ++i) Frame.Pixels[i] = static_cast<uint32_t>(i) * 2654435761u;
    }
    static void Queue(UINT message, WPARAM wParam) { Fake.messages.Post(FakeWindow(), message, wParam); }
};

TEST_F(Present, WhileInactiveOnlyMessagesAreHandledAndTheTurnSleeps) {
    EXPECT_EQ(PresentFrame(Frame), 1);
    EXPECT_EQ(Fake.calls, (Calls{Pump, "Sleep 1"}));
}

TEST_F(Present, MessagesAreHandledEvenWhileInactive) {
    Queue(WM_SETCURSOR, 0);
    Queue(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(PresentFrame(Frame), 1);
    EXPECT_EQ(Fake.calls, (Calls{Pump, "TranslateMessage 0x20", "DispatchMessageA 0x20", "SetCursor (nil)", Pump,
                                 "TranslateMessage 0x1c", "DispatchMessageA 0x1c", Pump, "Sleep 1"}));
}

TEST_F(Present, AnActivationInThePumpIsDrawnInTheSameTurn) {
    Queue(WM_ACTIVATEAPP, 1);
    EXPECT_EQ(PresentFrame(Frame), 1);
    Calls expected = {Pump, "TranslateMessage 0x1c", "DispatchMessageA 0x1c", Pump};
    expected.insert(expected.end(), DrawCalls.begin(), DrawCalls.end());
    EXPECT_EQ(Fake.calls, expected);
    EXPECT_EQ(std::memcmp(Fake.surfaceMemory.data(), Frame.Pixels, PictureBytes), 0);
}

TEST_F(Present, ACloseRequestInThePumpEndsTheProcess) {
    Queue(WM_CLOSE, 0);
    EXPECT_THROW(PresentFrame(Frame), ProcessExit);
    EXPECT_EQ(Fake.calls.back(), "ExitProcess 0");
}

TEST_F(Present, AFailedLockSkipsTheFrameWithoutFlipOrSleep) {
    AppActive = 1;
    Fake.lockResult = DDERR_GENERIC;
    EXPECT_EQ(PresentFrame(Frame), 0);
    EXPECT_EQ(Fake.calls, (Calls{Pump, "primary Restore", LockCall}));
}

TEST_F(Present, AWiderPitchLeavesTheBytesAfterEachRowUntouched) {
    AppActive = 1;
    Converter = ConvertRGB565;
    Fake.pitch = 700;
    Fake.surfaceMemory.assign(700 * 240, 0xCD);
    EXPECT_EQ(PresentFrame(Frame), 1);
    for (int row = 0; row < 240; ++row) {
        const uint8_t* line = Fake.surfaceMemory.data() + row * 700;
        uint8_t expected[640];
        ConvertRGB565(Frame.Pixels + row * 320, expected, 320);
        ASSERT_EQ(std::memcmp(line, expected, 640), 0) << "row " << row;
        for (int byte = 640; byte < 700; ++byte) ASSERT_EQ(line[byte], 0xCD) << "row " << row << " byte " << byte;
    }
}

}  // namespace
