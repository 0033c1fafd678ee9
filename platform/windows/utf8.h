#pragma once
// Paths and text cross into Windows' wide-character calls as UTF-8 on this
// side, so that a folder named in any script works as on Linux.

#include <string>

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

// Sets errno from the calling thread's last Windows error.
void ErrnoFromLastError();
