// The program's short name in its messages, as glibc provides it on Linux:
// the file name without its folder and extension.

#include <windows.h>

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

const char* program_invocation_short_name = Name.c_str();
