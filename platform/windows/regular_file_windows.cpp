#include "platform/regular_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "platform/windows/content_names.h"
#include "platform/windows/utf8.h"

namespace {

constexpr const char* NotRegular = "not a regular file";

std::map<std::string, std::string> ContentPaths;

}  // namespace

void ReadContentFrom(std::vector<std::pair<std::string, std::string>> files) {
    ContentPaths.clear();
    for (auto& [name, path] : files) ContentPaths[name] = std::move(path);
}

namespace {

// The volume and the file's number on it; false when it cannot be opened.
bool FileIdentity(const char* name, BY_HANDLE_FILE_INFORMATION& identity) {
    HANDLE handle = CreateFileW(WideFromUtf8(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(handle, &identity);
    CloseHandle(handle);
    return known;
}

}  // namespace

bool SameFile(const char* a, const char* b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return FileIdentity(a, first) && FileIdentity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

std::FILE* OpenRegularFile(const char* name, uint64_t& size, const char*& problem) {
    const auto mapped = ContentPaths.find(name);
    const std::wstring path = WideFromUtf8(mapped == ContentPaths.end() ? name : mapped->second);
    // A folder cannot be opened this way; a device (NUL, COM1) can, and is
    // told apart before anything is read from it.
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ErrnoFromLastError();
        problem = std::strerror(errno);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            problem = NotRegular;
            errno = 0;
        }
        return nullptr;
    }
    LARGE_INTEGER length{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &length)) {
        CloseHandle(handle);
        problem = NotRegular;
        errno = 0;
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        problem = std::strerror(errno);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "rb");
    if (!file) {
        problem = std::strerror(errno);
        _close(descriptor);
        return nullptr;
    }
    size = static_cast<uint64_t>(length.QuadPart);
    return file;
}
