// Stands in for the screensaver settings' preview: a black window whose
// handle the screensaver gets with /p, kept for the seconds given, then
// closed. By then the screensaver must have put a window of its own over the
// whole of it (exit code 3 otherwise), and it must end with it: the host's
// exit code is the screensaver's, or 2 when it did not end.
// Usage: preview_host SCREENSAVER SECONDS

#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"PreviewHost";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"PreviewHost", L"preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320,
                                240, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 2;

    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\" /p " +
                           std::to_wstring(reinterpret_cast<uintptr_t>(window));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION saver{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &saver))
        return 2;

    const DWORD until = GetTickCount() + static_cast<DWORD>(_wtoi(argv[2])) * 1000;
    while (GetTickCount() < until) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    const HWND preview = FindWindowExW(window, nullptr, L"TwentyThreeTurnsPreview", nullptr);
    DWORD owner = 0;
    if (preview) GetWindowThreadProcessId(preview, &owner);
    RECT hostArea{}, previewArea{};
    GetClientRect(window, &hostArea);
    GetClientRect(preview, &previewArea);
    const bool covered = owner == saver.dwProcessId && EqualRect(&hostArea, &previewArea);
    DestroyWindow(window);
    DWORD code = 2;
    if (WaitForSingleObject(saver.hProcess, 5000) == WAIT_OBJECT_0) GetExitCodeProcess(saver.hProcess, &code);
    return covered ? static_cast<int>(code) : 3;
}
