// The SDL display device under SDL's dummy video driver (a 1024 x 768
// desktop and the software renderer), and the display code over it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "display/display.h"
#include "display/present.h"
#include "platform/library.h"
#include "platform/sdl/sdl_window.h"

namespace {

LRESULT Ignore(HWND, UINT, WPARAM, LPARAM) { return 0; }

class Device : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        unsetenv("DEMO_PIXEL_FORMAT");
        static const WNDCLASSA windowClass = {0, Ignore, "device test"};
        RegisterClassA(&windowClass);
        const auto create =
            reinterpret_cast<LPDIRECTDRAWCREATE>(GetProcAddress(LoadLibraryA("ddraw.dll"), "DirectDrawCreate"));
        ASSERT_NE(create, nullptr);
        ASSERT_EQ(create(nullptr, &directDraw, nullptr), DD_OK);
        window = CreateWindowExA(0, "device test", "device test", WS_POPUP, 0, 0, 0, 0);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (directDraw) directDraw->Release();
        DestroyWindow(window);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    }

    DDPIXELFORMAT FormatOfMode(DWORD bits) {
        DDPIXELFORMAT format = {sizeof format, 0, 0, 0, 0, 0, 0, 0};
        if (FAILED(directDraw->SetDisplayMode(320, 240, bits))) return format;
        IDirectDrawSurface* primary = nullptr;
        if (FAILED(directDraw->CreateSurface(&flipping, &primary, nullptr))) return format;
        primary->GetPixelFormat(&format);
        primary->Release();
        return format;
    }

    IDirectDraw* directDraw = nullptr;
    HWND window = nullptr;
    DDSURFACEDESC flipping = {sizeof(DDSURFACEDESC), DDSD_CAPS | DDSD_BACKBUFFERCOUNT, 0, 0, 0, 2, nullptr, {},
                              {DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX}};
    DDSURFACEDESC plain = {sizeof(DDSURFACEDESC), DDSD_CAPS, 0, 0, 0, 0, nullptr, {}, {DDSCAPS_PRIMARYSURFACE}};
};

TEST(Library, OnlyTheDisplayLibraryAndItsExportExist) {
    const HMODULE library = LoadLibraryA("DDRAW.DLL");
    ASSERT_NE(library, nullptr);
    EXPECT_NE(GetProcAddress(library, "DirectDrawCreate"), nullptr);
    EXPECT_EQ(GetProcAddress(library, "DirectDrawCreateEx"), nullptr);
    EXPECT_EQ(LoadLibraryA("kernel32.dll"), nullptr);
    EXPECT_TRUE(FreeLibrary(library));
}

TEST(Library, ADisplayThatCannotStartFailsCreation) {
    setenv("SDL_VIDEODRIVER", "nonexistent", 1);
    IDirectDraw* directDraw = reinterpret_cast<IDirectDraw*>(1);
    const auto create =
        reinterpret_cast<LPDIRECTDRAWCREATE>(GetProcAddress(LoadLibraryA("ddraw.dll"), "DirectDrawCreate"));
    EXPECT_TRUE(FAILED(create(nullptr, &directDraw, nullptr)));
    EXPECT_EQ(directDraw, nullptr);
}

TEST_F(Device, ModesNeedTheExclusiveLevelOfAKnownWindow) {
    EXPECT_TRUE(FAILED(directDraw->SetDisplayMode(320, 240, 32)));
    EXPECT_TRUE(FAILED(directDraw->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)));
    EXPECT_TRUE(FAILED(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE)));
    IDirectDrawSurface* primary = nullptr;
    EXPECT_TRUE(FAILED(directDraw->CreateSurface(&flipping, &primary, nullptr)));
}

TEST_F(Device, TheExclusiveLevelCoversTheDesktopUntilNormal) {
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    SDL_Window* sdl = SdlWindowOf(window);
    SDL_DisplayMode desktop;
    SDL_GetDesktopDisplayMode(0, &desktop);
    int width = 0, height = 0;
    SDL_GetWindowSize(sdl, &width, &height);
    EXPECT_EQ(width, desktop.w);
    EXPECT_EQ(height, desktop.h);
    EXPECT_EQ(SDL_GetWindowFlags(sdl) & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN),
              Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN});
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(SDL_GetWindowFlags(sdl) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_SHOWN), 0u);
}

TEST_F(Device, ModesOf32And24And16BitsReportTheirMasks) {
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    const DDPIXELFORMAT x32 = FormatOfMode(32), x24 = FormatOfMode(24), x16 = FormatOfMode(16);
    EXPECT_EQ(x32.dwFlags, DDPF_RGB);
    EXPECT_EQ(SelectConverter(x32.dwRGBBitCount, x32.dwRBitMask, x32.dwGBitMask, x32.dwBBitMask), ConvertCopy32);
    EXPECT_EQ(SelectConverter(x24.dwRGBBitCount, x24.dwRBitMask, x24.dwGBitMask, x24.dwBBitMask), ConvertPack24);
    EXPECT_EQ(SelectConverter(x16.dwRGBBitCount, x16.dwRBitMask, x16.dwGBitMask, x16.dwBBitMask), ConvertRGB565);
    EXPECT_TRUE(FAILED(directDraw->SetDisplayMode(320, 240, 8)));
    EXPECT_TRUE(FAILED(directDraw->SetDisplayMode(0, 240, 32)));
}

TEST_F(Device, AForcedFormatIsTheOnlyModeOffered) {
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    setenv("DEMO_PIXEL_FORMAT", "BGR555", 1);
    EXPECT_TRUE(FAILED(directDraw->SetDisplayMode(320, 240, 32)));
    EXPECT_TRUE(FAILED(directDraw->SetDisplayMode(320, 240, 24)));
    const DDPIXELFORMAT format = FormatOfMode(16);
    EXPECT_EQ(SelectConverter(format.dwRGBBitCount, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask),
              ConvertBGR555);
    setenv("DEMO_PIXEL_FORMAT", "RGB332", 1);
    testing::internal::CaptureStderr();
    for (const DWORD bits : {32u, 24u, 16u, 8u}) EXPECT_TRUE(FAILED(directDraw->SetDisplayMode(320, 240, bits)));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("unknown format \"RGB332\""), std::string::npos);
}

TEST_F(Device, AFlippingPrimaryLocksAndFlips) {
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(directDraw->SetDisplayMode(320, 240, 24), DD_OK);
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* second = nullptr;
    ASSERT_EQ(directDraw->CreateSurface(&flipping, &primary, nullptr), DD_OK);
    EXPECT_TRUE(FAILED(directDraw->CreateSurface(&flipping, &second, nullptr)));  // one primary at a time

    DDSCAPS caps = {DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    EXPECT_TRUE(FAILED(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)));  // drawing goes to the back buffer
    ASSERT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_NE(desc.lpSurface, nullptr);
    EXPECT_GE(desc.lPitch, 320 * 3);
    EXPECT_EQ(desc.dwWidth, 320u);
    EXPECT_EQ(desc.dwHeight, 240u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 24u);
    DDSURFACEDESC again = desc;
    EXPECT_TRUE(FAILED(back->Lock(nullptr, &again, DDLOCK_WAIT, nullptr)));
    EXPECT_TRUE(FAILED(primary->Flip(nullptr, DDFLIP_WAIT)));  // not while drawing
    EXPECT_TRUE(FAILED(back->Unlock(nullptr)));
    ASSERT_EQ(back->Unlock(desc.lpSurface), DD_OK);
    EXPECT_EQ(primary->Restore(), DD_OK);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(back->Release(), 1u);  // lives with its primary
    EXPECT_EQ(primary->Release(), 0u);
}

TEST_F(Device, APlainPrimaryHasNoBackBufferToFlip) {
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(directDraw->SetDisplayMode(320, 240, 32), DD_OK);
    IDirectDrawSurface* primary = nullptr;
    ASSERT_EQ(directDraw->CreateSurface(&plain, &primary, nullptr), DD_OK);
    DDSCAPS caps = {DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    EXPECT_EQ(primary->GetAttachedSurface(&caps, &back), DDERR_NOTFOUND);
    EXPECT_TRUE(FAILED(primary->Flip(nullptr, DDFLIP_WAIT)));
    // Left for the device's release to take along.
}

TEST_F(Device, AFlipChainWithoutBackBuffersIsRefused) {
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(directDraw->SetDisplayMode(320, 240, 32), DD_OK);
    IDirectDrawSurface* primary = nullptr;
    flipping.dwBackBufferCount = 0;
    EXPECT_EQ(directDraw->CreateSurface(&flipping, &primary, nullptr), DDERR_INVALIDPARAMS);
    flipping.dwBackBufferCount = 1;
    flipping.dwSize = 108;
    EXPECT_EQ(directDraw->CreateSurface(&flipping, &primary, nullptr), DDERR_INVALIDPARAMS);
}

// The display code over the real device, in every format the converters know.
TEST(DisplayOnSdl, EveryFormatGetsItsConverterAndPresents) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const std::pair<const char*, PixelConverter> formats[] = {
        {"XRGB8888", ConvertCopy32}, {"XBGR8888", ConvertSwap32}, {"BGR24", ConvertPack24},
        {"RGB24", ConvertPack24Swap}, {"RGB565", ConvertRGB565},   {"BGR565", ConvertBGR565},
        {"RGB555", ConvertRGB555},   {"BGR555", ConvertBGR555},
    };
    static Picture frame;
    for (const auto& [name, converter] : formats) {
        SCOPED_TRACE(name);
        setenv("DEMO_PIXEL_FORMAT", name, 1);
        ASSERT_EQ(InitDisplay(name, 320, 240), 1);
        EXPECT_EQ(Converter, converter);
        AppActive = 1;
        EXPECT_EQ(PresentFrame(frame), 1);
        ShutdownDisplay();
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    }
    unsetenv("DEMO_PIXEL_FORMAT");
}

}  // namespace
