#pragma once
// Files the installation lays out around a program, found from the program's
// own place rather than from the working directory.

#include <string>

// The path `relative` names from the running program's folder; empty when
// the program's own place cannot be read.
std::string PathFromProgram(const char* relative);
