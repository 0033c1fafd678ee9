#pragma once
// The operating system's part of the output files, one implementation per
// system (file_system_posix.cpp, file_system_windows.cpp): making, flushing
// and moving files, and the stops that must not leave temporary files behind.

#include <cstdint>
#include <string>

// The characters that end a folder's name in a path.
extern const char PathSeparators[];

// Calls `removeTemporaries` when the tool is stopped from outside (Ctrl-C,
// a stop signal, its console closed), then lets the stop end it. Stops the
// tool was started with ignoring stay ignored.
void CatchStops(void (*removeTemporaries)());
// Holds stops back while a temporary file is created and recorded.
void HoldStops();
void ReleaseStops();

// Creates `path` anew for writing, never through whatever stands at the name,
// marked as in use by this process; -1 with errno set when it cannot (EEXIST:
// the name is taken).
int CreateTemporary(const char* path);
// Removes a temporary file, also while it is open; safe in a stop handler.
void RemoveTemporary(const char* path);
// Removes the temporary files in `folder` (empty, or ending in the separator)
// whose process is gone; `owner` reads the process from a file's name (0 for
// a name that is not a temporary's).
void RemoveOrphanedTemporaries(const std::string& folder, long (*owner)(const char* name));
long ThisProcess();

// Flushes the file's data to disk and closes it; errno says why not.
bool FlushAndClose(int fd);
// Puts `from` in place of `to`, replacing a file there; errno says why not.
bool MoveIntoPlace(const char* from, const char* to);
// Makes the moves into `folder` durable where the system needs telling.
void FlushFolder(const std::string& folder);

enum class FileKind { Absent, Regular, Folder, Other };
// What stands at `path`, a link taken as what it leads to.
FileKind KindOf(const std::string& path);
// Creates the folder; errno says why not (EEXIST when something is there).
bool MakeFolder(const std::string& path);
// The bytes free to ordinary users on the file system holding `path`
// (empty: the working directory), UINT64_MAX when unknown.
uint64_t SystemFreeBytes(const std::string& path);
