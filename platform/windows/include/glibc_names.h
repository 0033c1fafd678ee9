#pragma once
// Given to every Windows source first: the names glibc declares that the
// shared code uses, provided by platform/windows.
extern const char* program_invocation_short_name;
