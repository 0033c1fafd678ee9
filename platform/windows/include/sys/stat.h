#pragma once
#include_next <sys/stat.h>
// Ordinary users have no symbolic links on Windows: a name is what it is.
#define lstat stat
#define S_ISLNK(mode) 0
