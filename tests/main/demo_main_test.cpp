// DemoMain against test doubles of everything it calls, which record the
// calls in order.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "assets/image_bank.h"
#include "display/display.h"
#include "display/present.h"
#include "fx/plasma.h"
#include "main/demo_main.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "platform/process.h"
#include "show/render_frame.h"

uint32_t StartTime;
Picture OutputBuffer;

namespace {

struct ProcessExit {
    UINT code;
};

std::vector<std::string> Calls;
int InitResult;
BOOL MusicResult;
std::deque<SHORT> EscapeAnswers;  // then "pressed"
std::deque<uint32_t> ClockReadings;

// A call without arguments is its own line, not a format.
void Record(const char* line) { Calls.emplace_back(line); }

void Record(const char* format, auto... args) {
    char line[160];
    std::snprintf(line, sizeof line, format, args...);
    Calls.emplace_back(line);
}

BOOL RecordMusic(const std::string& call) {
    Calls.push_back(call);
    return MusicResult;
}

}  // namespace

void LoadImages() { Record("LoadImages"); }
void BuildSineTable() { Record("BuildSineTable"); }
int InitDisplay(const char* title, int width, int height) {
    Record("InitDisplay %s %dx%d", title, width, height);
    return InitResult;
}
void RenderFrame() { Record("RenderFrame from %u", StartTime); }
int PresentFrame(const Picture& picture) {
    Record("PresentFrame %s", &picture == &OutputBuffer ? "OutputBuffer" : "?");
    return 0;
}
void ShutdownDisplay() { Record("ShutdownDisplay"); }

uint32_t timeGetTime() {
    const uint32_t now = ClockReadings.front();
    ClockReadings.pop_front();
    Record("timeGetTime %u", now);
    return now;
}

SHORT GetAsyncKeyState(int virtualKey) {
    const SHORT answer = EscapeAnswers.empty() ? SHORT{1} : EscapeAnswers.front();
    if (!EscapeAnswers.empty()) EscapeAnswers.pop_front();
    Record("GetAsyncKeyState %#x", virtualKey);
    return answer;
}

void ExitProcess(UINT exitCode) {
    Record("ExitProcess %u", exitCode);
    throw ProcessExit{exitCode};
}

BOOL BASSMOD_Init(int device, DWORD frequency, DWORD flags) {
    return RecordMusic("BASSMOD_Init " + std::to_string(device) + " " + std::to_string(frequency) + " " +
                       std::to_string(flags));
}
void BASSMOD_Free() { Record("BASSMOD_Free"); }
BOOL BASSMOD_MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
    return RecordMusic("BASSMOD_MusicLoad " + std::to_string(mem) + " " + static_cast<const char*>(file) + " " +
                       std::to_string(offset) + " " + std::to_string(length) + " " + std::to_string(flags));
}
void BASSMOD_MusicFree() { Record("BASSMOD_MusicFree"); }
BOOL BASSMOD_MusicSetPosition(DWORD position) {
    return RecordMusic("BASSMOD_MusicSetPosition " + std::to_string(position));
}
BOOL BASSMOD_MusicSetPositionScaler(DWORD scale) {
    return RecordMusic("BASSMOD_MusicSetPositionScaler " + std::to_string(scale));
}
BOOL BASSMOD_MusicPlayEx(DWORD position, int flags, BOOL reset) {
    return RecordMusic("BASSMOD_MusicPlayEx " + std::to_string(position) + " " + std::to_string(flags) + " " +
                       std::to_string(reset));
}
BOOL BASSMOD_MusicStop() { return RecordMusic("BASSMOD_MusicStop"); }

namespace {

using CallList = std::vector<std::string>;

const CallList StartUp = {
    "LoadImages",
    "BuildSineTable",
    "InitDisplay test 320x240",
    "timeGetTime 1000",
    "BASSMOD_Init -1 44100 0",
    "BASSMOD_MusicStop",
    "BASSMOD_MusicSetPositionScaler 1",
    "BASSMOD_MusicFree",
    "BASSMOD_MusicLoad 0 kimo.xm 0 0 0",
    "BASSMOD_MusicSetPosition 0",
    "BASSMOD_MusicPlayEx 0 0 1",
    "timeGetTime 1250",
};
const CallList ShutDown = {"BASSMOD_Free", "ShutdownDisplay", "ExitProcess 0"};

class Main : public ::testing::Test {
protected:
    void SetUp() override {
        Calls.clear();
        InitResult = 1;
        MusicResult = TRUE;
        ClockReadings = {1000, 1250};
        StartTime = 0;
    }

    // The exit code, whether DemoMain returns it or ends the process with it.
    static int Run() {
        try {
            return DemoMain();
        } catch (const ProcessExit& exit) {
            return static_cast<int>(exit.code);
        }
    }

    static CallList Expected(int frames) {
        CallList expected = StartUp;
        for (int frame = 0; frame < frames; ++frame)
            expected.insert(expected.end(),
                            {"GetAsyncKeyState 0x1b", "RenderFrame from 1250", "PresentFrame OutputBuffer"});
        expected.push_back("GetAsyncKeyState 0x1b");
        expected.insert(expected.end(), ShutDown.begin(), ShutDown.end());
        return expected;
    }
};

TEST_F(Main, RunsStartUpLoopAndShutDownInOrder) {
    EscapeAnswers = {0, 0, static_cast<SHORT>(0x8000)};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Calls, Expected(2));
    EXPECT_EQ(StartTime, 1250u);  // the pictures count from after the music's start
}

TEST_F(Main, EscapeAtStartComposesNoFrameButShutsDown) {
    for (const SHORT answer : {static_cast<SHORT>(0x8000), SHORT{1}, static_cast<SHORT>(0x8001)}) {
        SetUp();
        EscapeAnswers = {answer};
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(Calls, Expected(0)) << "answer " << answer;
    }
}

TEST_F(Main, AFailingDisplayGivesExitCode1WithoutMusic) {
    InitResult = 0;
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Calls, (CallList{"LoadImages", "BuildSineTable", "InitDisplay test 320x240"}));
}

TEST_F(Main, AMissingModuleChangesNothingButTheSound) {
    MusicResult = FALSE;
    EscapeAnswers = {0, 1};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Calls, Expected(1));
}

}  // namespace
