#pragma once
// Given to every Windows source first: the names glibc declares that the
// shared code uses, provided by platform/windows (glibc_names_windows.cpp).
extern const char* program_invocation_short_name;
// A new folder from a template ending in XXXXXX, as POSIX makes it.
extern "C" char* mkdtemp(char* name);
