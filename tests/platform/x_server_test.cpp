// The window stand-in and the display code on a real X server (a private
// Xvfb): what SDL's dummy driver cannot show, a key held down and the pixels
// that reach the screen.
#include <gtest/gtest.h>

#include <SDL.h>

#include <bit>
#include <bitset>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "display/display.h"
#include "display/present.h"
#include "platform/sdl/sdl_window.h"
#include "tests/e2e/show_run.h"

// SDL's X11 driver leaves allocations of the D-Bus library and of GL drivers
// it has unloaded; leaks of our own are caught on the dummy driver.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

LRESULT Ignore(HWND, UINT, WPARAM, LPARAM) { return 0; }

class OnXServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveProgram("Xvfb") || !HaveProgram("xdotool")) GTEST_SKIP() << "Xvfb or xdotool is not installed";
        server = std::make_unique<Xvfb>();
        ASSERT_NE(server->x, nullptr) << "Xvfb did not start on '" << server->name << "'";
        setenv("DISPLAY", server->name.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
    }

    void Xdotool(const std::string& arguments) const {
        ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
    }

    std::unique_ptr<Xvfb> server;
};

// The X server sends events on its own time: queries until one answers `until`.
uint16_t EscapeStateOnceItIs(bool (*until)(uint16_t)) {
    uint16_t state = 0;
    for (int tries = 0; tries < 500; ++tries, Pause(10))
        if (until(state = static_cast<uint16_t>(GetAsyncKeyState(VK_ESCAPE)))) break;
    return state;
}

TEST_F(OnXServer, EscapeHeldDownAnswersEveryQueryUntilReleased) {
    static const WNDCLASSA windowClass = {0, Ignore, "keys"};
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, "keys", "keys", WS_POPUP, 0, 0, Xvfb::Width, Xvfb::Height);
    ASSERT_NE(window, nullptr);
    SDL_ShowWindow(SdlWindowOf(window));
    Xdotool("search --sync --onlyvisible --name '^keys$' windowfocus --sync");

    Xdotool("keydown Escape");
    EXPECT_EQ(EscapeStateOnceItIs([](uint16_t state) { return state != 0; }), 0x8001);  // down, and pressed
    EXPECT_EQ(static_cast<uint16_t>(GetAsyncKeyState(VK_ESCAPE)), 0x8000);           // still down, no new press
    EXPECT_EQ(static_cast<uint16_t>(GetAsyncKeyState(VK_ESCAPE)), 0x8000);
    Xdotool("keyup Escape");
    EXPECT_EQ(EscapeStateOnceItIs([](uint16_t state) { return (state & 0x8000) == 0; }), 0);
    DestroyWindow(window);
}

// Pixel words that set every bit of every channel somewhere, the spare byte too.
void FillWithNoise(Picture& picture) {
    uint32_t state = 12345;
    for (uint32_t& pixel : picture.Pixels) {
        state = state * 1664525u + 1013904223u;
        pixel = state ^ (state >> 13);
    }
}

struct Format {
    const char* name;
    PixelConverter converter;
    Uint32 sdlFormat;
};

// What a pixel of the format holds of a colour: the top bits of each channel.
// The spare byte never shows.
uint32_t Held(const Format& format, uint32_t colour) {
    colour &= 0xFFFFFF;
    uint8_t bytes[4] = {};
    format.converter(&colour, bytes, 1);
    uint32_t held;
    std::memcpy(&held, bytes, 4);
    return held;
}

// Each forced format's frame band, scaled 3 times into the middle of the
// 1024 x 768 screen (960 x 528 at 32, 120), shows what that format holds of
// every pixel of the band, and the rows above and below it do not show: the
// same colour in 24 and 32 bits, the top bits of each channel in 16. The screen
// widens those bits back to 8 in SDL's own way, which differs between its
// renderers, so each channel's level count shows the format's depth instead.
TEST_F(OnXServer, EveryForcedFormatShowsTheFrameAsThatFormatHoldsIt) {
    const Format formats[] = {
        {"XRGB8888", ConvertCopy32, SDL_PIXELFORMAT_XRGB8888}, {"XBGR8888", ConvertSwap32, SDL_PIXELFORMAT_XBGR8888},
        {"BGR24", ConvertPack24, SDL_PIXELFORMAT_BGR24},       {"RGB24", ConvertPack24Swap, SDL_PIXELFORMAT_RGB24},
        {"RGB565", ConvertRGB565, SDL_PIXELFORMAT_RGB565},     {"BGR565", ConvertBGR565, SDL_PIXELFORMAT_BGR565},
        {"RGB555", ConvertRGB555, SDL_PIXELFORMAT_RGB555},     {"BGR555", ConvertBGR555, SDL_PIXELFORMAT_BGR555},
    };
    static Picture frame;
    FillWithNoise(frame);
    constexpr int Scale = 3, Left = 32, Top = 120;

    for (const Format& format : formats) {
        SCOPED_TRACE(format.name);
        int bits;
        Uint32 masks[4];
        SDL_PixelFormatEnumToMasks(format.sdlFormat, &bits, &masks[0], &masks[1], &masks[2], &masks[3]);
        setenv("DEMO_PIXEL_FORMAT", format.name, 1);
        ASSERT_EQ(InitDisplay(format.name, 320, 240), 1);
        AppActive = 1;
        // The window reaches the screen some frames after set-up.
        long wrong = -1;
        std::bitset<256> levels[3];
        for (int tries = 0; tries < 100 && wrong != 0; ++tries) {
            PresentFrame(frame);
            const std::vector<uint32_t> screen = server->Screenshot();
            if (screen.empty()) continue;
            wrong = 0;
            for (auto& channel : levels) channel.reset();
            for (int y = 0; y < Xvfb::Height; ++y)
                for (int x = 0; x < Xvfb::Width; ++x) {
                    const uint32_t shown = screen[y * Xvfb::Width + x];
                    const int frameX = (x - Left) / Scale, frameY = BandTop + (y - Top) / Scale;
                    if (x < Left || y < Top || frameX >= 320 || frameY >= BandBottom) {
                        wrong += shown != 0;
                        continue;
                    }
                    wrong += Held(format, shown) != Held(format, frame.Pixels[frameY * 320 + frameX]);
                    for (int channel = 0; channel < 3; ++channel) levels[channel][(shown >> (16 - 8 * channel)) & 0xFF] = true;
                }
        }
        EXPECT_EQ(wrong, 0) << "pixels unlike the frame in this format";
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_EQ(levels[channel].count(), size_t{1} << std::popcount(masks[channel])) << "channel " << channel;
        ShutdownDisplay();
    }
    unsetenv("DEMO_PIXEL_FORMAT");
}

// A screen too small for the band: the largest scale that fits (272 x 150
// at 64, 0 on a 400 x 150 screen), black around it, and every shown pixel one
// of the band's own, not a blend of neighbours.
TEST(OnSmallXServer, TheBandShrinksToFitWithNearestSampling) {
    if (!HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    const Xvfb server(400, 150);
    ASSERT_NE(server.x, nullptr) << "Xvfb did not start on '" << server.name << "'";
    setenv("DISPLAY", server.name.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    unsetenv("DEMO_PIXEL_FORMAT");
    static Picture frame;
    FillWithNoise(frame);
    constexpr int Left = 64, Width = 272, Height = 150;
    ASSERT_EQ(InitDisplay("small", 320, 240), 1);
    AppActive = 1;
    long wrong = -1;
    for (int tries = 0; tries < 100 && wrong != 0; ++tries) {
        PresentFrame(frame);
        const std::vector<uint32_t> screen = server.Screenshot();
        if (screen.empty()) continue;
        wrong = 0;
        for (int y = 0; y < server.height; ++y)
            for (int x = 0; x < server.width; ++x) {
                const uint32_t shown = screen[y * server.width + x];
                if (x < Left || x >= Left + Width) {
                    wrong += shown != 0;
                    continue;
                }
                // The nearest source pixel, give or take the renderer's rounding.
                const int frameX = (x - Left) * 320 / Width, frameY = BandTop + y * 176 / Height;
                bool found = false;
                for (int dy = -1; dy <= 1 && !found; ++dy)
                    for (int dx = -1; dx <= 1 && !found; ++dx) {
                        const int sx = frameX + dx, sy = frameY + dy;
                        found = sx >= 0 && sx < 320 && sy >= BandTop && sy < BandBottom &&
                                (frame.Pixels[sy * 320 + sx] & 0xFFFFFF) == shown;
                    }
                wrong += !found;
            }
    }
    EXPECT_EQ(wrong, 0) << "pixels outside the band's place or unlike its nearest pixels";
    ShutdownDisplay();
}

}  // namespace
