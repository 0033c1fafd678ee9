#include "platform/windows/error_box.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/windows/utf8.h"

namespace {

int KeptRead = -1;

}  // namespace

void ReportErrorsInABox() {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE) return;
    // A pipe: the few lines a failure prints fit in its buffer, and nothing
    // is written to disk.
    int ends[2];
    if (_pipe(ends, 65536, _O_BINARY) != 0) return;
    // The C library's stderr writes to descriptor 2 whether or not it was open.
    const bool kept = _dup2(ends[1], 2) == 0;
    _close(ends[1]);
    if (!kept) {
        _close(ends[0]);
        return;
    }
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    KeptRead = ends[0];
}

void ShowKeptErrors() {
    if (KeptRead < 0) return;
    std::fflush(stderr);
    std::string text;
    char chunk[4096];
    // Only what is already there: the write end stays open in this process.
    HANDLE pipe = reinterpret_cast<HANDLE>(_get_osfhandle(KeptRead));
    DWORD waiting = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
        const int got = _read(KeptRead, chunk, sizeof chunk);
        if (got <= 0) break;
        text.append(chunk, static_cast<size_t>(got));
    }
    if (text.empty()) return;
    MessageBoxW(nullptr, WideFromUtf8(text).c_str(), L"Twenty-Three Turns", MB_OK | MB_ICONERROR);
}
