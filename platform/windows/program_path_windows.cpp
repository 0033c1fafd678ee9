#include "platform/program_path.h"

#include <windows.h>

#include "platform/windows/utf8.h"

std::string PathFromProgram(const char* relative) {
    std::wstring self(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length == 0 || length >= self.size()) return "";
    self.resize(length);
    return Utf8FromWide(self.substr(0, self.find_last_of(L"\\/") + 1)) + relative;
}
