#pragma once
// Output files for the tools: each appears complete under its name or not at
// all, never half-written, and survives a power loss once the tool reports it
// written. A tool ended by SIGINT, SIGTERM or SIGHUP leaves no temporary file
// behind; one left by a tool killed otherwise is removed by the next tool
// writing into the same folder.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "facts/picture.h"

// New files, each written under a temporary name beside its own and put in
// place together by Commit. Whatever is not in place when the set goes away
// is removed.
class OutputFiles {
public:
    // Temporary files that can be pending at once, in all sets together.
    static constexpr int MaxPending = 32;

    // `random` draws the unpredictable part of temporary names; by default
    // the system's random source.
    explicit OutputFiles(std::function<uint64_t()> random = {});
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    bool Write(const std::string& path, const void* bytes, size_t size, std::string& error);
    // A picture file (assets/picture_file.h).
    bool WritePicture(const std::string& path, const Picture& picture, std::string& error);
    // 0x00RRGGBB pixels as an RGB PNG file (png_output.cpp; builds without
    // SDL2_image report that they cannot).
    bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, std::string& error);

    // Claims `path` for a file the caller writes itself, before Commit, into
    // `fd`, open on the new temporary file named `temporary`. The set closes it.
    bool WriteLater(const std::string& path, int& fd, std::string& temporary, std::string& error);

    // Puts every file in place, its data and then its folder flushed to disk.
    // No file is replaced unless all can be: something other than a regular
    // file in the way of one is found before the first is moved.
    bool Commit(std::string& error);

private:
    struct Pending {
        std::string path;
        int slot;
        int fd;
    };
    bool Claim(const std::string& path, std::string& error);
    void Discard();
    std::function<uint64_t()> random_;
    std::vector<Pending> pending_;
};

// The name of a temporary output file in `folder` (empty, or ending in '/')
// of the process `pid`: a fixed prefix, the pid, then `random` in letters
// and digits. Its length does not depend on the final name's.
std::string TemporaryName(const std::string& folder, long pid, uint64_t random);

// Whether `path` may be replaced by a new file: absent or a regular file (a
// link counts as what it leads to); otherwise `error` says why not.
bool CanReplace(const std::string& path, std::string& error);

// The bytes free to ordinary users on the file system holding `path`,
// UINT64_MAX when unknown. A variable so that tests can stand in for a
// small or filling disk.
extern uint64_t (*FreeBytes)(const std::string& path);

// Writes all of `bytes` to `fd`; false with errno set when it cannot.
bool WriteAll(int fd, const void* bytes, size_t size);

// A set of one file, written and put in place.
bool WriteFileAtomically(const std::string& path, const void* bytes, size_t size, std::string& error);
bool WritePictureFile(const std::string& path, const Picture& picture, std::string& error);
bool WritePngAtomically(const std::string& path, const uint32_t* pixels, int width, int height, std::string& error);

// Creates `path` as a directory if it does not exist yet.
bool EnsureDirectory(const std::string& path, std::string& error);
