// Windows: a file open elsewhere cannot be deleted unless every opener shares
// deletion, so temporaries are made sharing it; rename does not replace, so
// files are moved into place with MoveFileEx; the stops are the console's
// control events, closing the console among them.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

#include "output/file_system.h"
#include "platform/windows/utf8.h"

namespace {

void (*RemoveOnStop)() = nullptr;
volatile LONG Held = 0;

BOOL WINAPI StopHandler(DWORD event) {
    // Waits out a temporary file coming into being.
    while (Held) Sleep(1);
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    RemoveOnStop();
    return FALSE;  // the default handling then ends the process
}

bool ProcessGone(long pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    CloseHandle(process);
    return ended;
}

}  // namespace

const char PathSeparators[] = "/\\";

void CatchStops(void (*removeTemporaries)()) {
    RemoveOnStop = removeTemporaries;
    SetConsoleCtrlHandler(StopHandler, TRUE);
}

void HoldStops() { InterlockedExchange(&Held, 1); }
void ReleaseStops() { InterlockedExchange(&Held, 0); }

int CreateTemporary(const char* path) {
    HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ErrnoFromLastError();
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) CloseHandle(handle);
    return fd;
}

void RemoveTemporary(const char* path) {
    wchar_t wide[MAX_PATH * 2];
    if (MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, MAX_PATH * 2) > 0) DeleteFileW(wide);
}

long ThisProcess() { return static_cast<long>(GetCurrentProcessId()); }

// A temporary of a process gone is removed only when no one has it open: the
// exclusive open fails while another machine sharing the folder writes it.
void RemoveOrphanedTemporaries(const std::string& folder, long (*owner)(const char* name)) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(WideFromUtf8(folder + "*.tmp").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = Utf8FromWide(entry.cFileName);
        const long pid = owner(name.c_str());
        if (pid == 0 || pid == ThisProcess() || !ProcessGone(pid)) continue;
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        HANDLE file = CreateFileW(WideFromUtf8(folder + name).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

bool FlushAndClose(int fd) {
    const bool flushed = FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
    if (!flushed) ErrnoFromLastError();
    const int flushError = errno;
    if (_close(fd) != 0) return false;
    errno = flushError;
    return flushed;
}

bool MoveIntoPlace(const char* from, const char* to) {
    if (MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ErrnoFromLastError();
    return false;
}

// MOVEFILE_WRITE_THROUGH has already made each move durable.
void FlushFolder(const std::string&) {}

FileKind KindOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::Absent;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Folder;
    return attributes & FILE_ATTRIBUTE_DEVICE ? FileKind::Other : FileKind::Regular;
}

bool MakeFolder(const std::string& path) {
    if (CreateDirectoryW(WideFromUtf8(path).c_str(), nullptr)) return true;
    ErrnoFromLastError();
    return false;
}

uint64_t SystemFreeBytes(const std::string& path) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(WideFromUtf8(path.empty() ? "." : path).c_str(), &available, nullptr, nullptr))
        return UINT64_MAX;
    return available.QuadPart;
}
