#pragma once
// Output files for the tools: each appears complete under its name or not at
// all, never half-written, and a tool ended by SIGINT, SIGTERM or SIGHUP
// leaves no temporary file behind.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fx/picture.h"

// New files, each written under a temporary name beside its own and put in
// place together by Commit. Whatever is not in place when the set goes away
// is removed.
class OutputFiles {
public:
    // Temporary files that can be pending at once, in all sets together.
    static constexpr int MaxPending = 32;

    OutputFiles() = default;
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    bool Write(const std::string& path, const void* bytes, size_t size, std::string& error);
    // A picture file (assets/picture_file.h).
    bool WritePicture(const std::string& path, const Picture& picture, std::string& error);
    // 0x00RRGGBB pixels as an RGB PNG file (png_output.cpp; builds without
    // SDL2_image report that they cannot).
    bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, std::string& error);

    // Claims `path` for a file the caller writes itself, under the name
    // `temporary` gives, before Commit.
    bool WriteLater(const std::string& path, std::string& temporary, std::string& error);

    // Puts every file in place. No file is replaced unless all can be: a
    // folder in the way of one is found before the first is moved.
    bool Commit(std::string& error);

private:
    struct Pending {
        std::string path;
        int slot;
    };
    bool Claim(const std::string& path, std::string& error);
    const char* LastTemporary() const;  // of the file claimed last
    void Discard();
    std::vector<Pending> pending_;
};

// A set of one file, written and put in place.
bool WriteFileAtomically(const std::string& path, const void* bytes, size_t size, std::string& error);
bool WritePictureFile(const std::string& path, const Picture& picture, std::string& error);
bool WritePngAtomically(const std::string& path, const uint32_t* pixels, int width, int height, std::string& error);

// Creates `path` as a directory if it does not exist yet.
bool EnsureDirectory(const std::string& path, std::string& error);
