// What glibc provides on Linux and the shared code uses.

#include <direct.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include <string>

#include "platform/windows/utf8.h"

namespace {

std::string ShortName() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length < MAX_PATH ? length : 0);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return Utf8FromWide(name);
}

const std::string Name = ShortName();

}  // namespace

// The program's short name in its messages: the file name without its folder
// and extension.
const char* program_invocation_short_name = Name.c_str();

char* mkdtemp(char* name) {
    const size_t length = std::strlen(name);
    if (length < 6 || std::strcmp(name + length - 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return nullptr;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::memcpy(name + length - 6, "XXXXXX", 6);
        if (_mktemp_s(name, length + 1) != 0) return nullptr;
        if (_mkdir(name) == 0) return name;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}
