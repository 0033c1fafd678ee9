#pragma once
// What the content rules ask of the file system, one implementation per
// system (content_folder_posix.cpp, content_folder_windows.cpp).

#include <string>

// Whether anything stands at `path`, a link to nothing included.
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
