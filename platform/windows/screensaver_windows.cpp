#include "platform/windows/screensaver.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>

#include "facts/band_fit.h"
#include "platform/windows/utf8.h"

namespace {

bool NamedAsSaver() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 4 && length < MAX_PATH && _wcsicmp(path + length - 4, L".scr") == 0;
}

}  // namespace

// Windows writes "/p 1234", "/p:1234" or "-p 1234", in either case.
SaverMode SaverModeOf(int argc, char** argv, uintptr_t& previewWindow) {
    if (!NamedAsSaver()) return SaverMode::Show;
    const std::string first = argc > 1 ? argv[1] : "";
    const char option = first.size() >= 2 && (first[0] == '/' || first[0] == '-')
                            ? static_cast<char>(std::tolower(static_cast<unsigned char>(first[1])))
                            : 'c';
    if (option == 's') return SaverMode::FullScreen;
    if (option == 'p') {
        const char* number = first.size() > 3 && first[2] == ':' ? first.c_str() + 3 : argc > 2 ? argv[2] : "";
        char* end = nullptr;
        previewWindow = static_cast<uintptr_t>(std::strtoull(number, &end, 10));
        return end != number && *end == '\0' && previewWindow ? SaverMode::Preview : SaverMode::Settings;
    }
    return SaverMode::Settings;
}

void ShowSaverSettings(const std::string& musicSwitch) {
    const std::string text = "Twenty-Three Turns has nothing to set.\n\nIt plays your own pictures and module "
                             "from the same folder as the show does. It is silent; to hear the music, create a "
                             "file named\n\n" + musicSwitch;
    MessageBoxW(nullptr, WideFromUtf8(text).c_str(), L"Twenty-Three Turns", MB_OK | MB_ICONINFORMATION);
}

void SilenceTheSaver() { _wputenv(L"SDL_AUDIODRIVER=dummy"); }

namespace {

HWND Preview = nullptr;

}  // namespace

// A child window of the preview, as Windows expects of a saver: it goes away
// with its parent.
bool OpenPreview(uintptr_t handle) {
    const HWND parent = reinterpret_cast<HWND>(handle);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"TwentyThreeTurnsPreview";
    RegisterClassW(&windowClass);
    RECT area{};
    GetClientRect(parent, &area);
    Preview = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                              area.bottom, parent, nullptr, windowClass.hInstance, nullptr);
    return Preview != nullptr;
}

bool PreviewOpen() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    return IsWindow(Preview);
}

void DrawPreview(const uint32_t* pixels, int width, int rows) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -rows;  // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    RECT area{};
    GetClientRect(Preview, &area);
    const BandPlace place = FitBand(area.right, area.bottom, width, rows);
    if (HDC canvas = GetDC(Preview)) {
        SetStretchBltMode(canvas, COLORONCOLOR);
        StretchDIBits(canvas, place.x, place.y, place.width, place.height, 0, 0, width, rows, pixels, &format,
                      DIB_RGB_COLORS, SRCCOPY);
        ReleaseDC(Preview, canvas);
    }
}
