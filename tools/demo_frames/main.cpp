// demo-frames: renders frames of the show at chosen times, without a display.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "assets/image_bank.h"
#include "command_line/command_line.h"
#include "content_location/content_folder.h"
#include "output/file_output.h"
#include "show/render_frame.h"
#include "tools/demo_frames/frame_times.h"

namespace {

// What one PNG frame can take at most: its rows stored without compression,
// with the file's chunks around them.
constexpr uint64_t PngFrameBound = 240000;
// The allocation unit files are counted in: the common file systems' 4 KiB.
constexpr uint64_t FileBlock = 4096;

bool WriteFrame(const std::string& directory, uint32_t time, bool png, std::string& error) {
    const std::string base = directory + "/frame-" + std::to_string(time);
    OutputFiles files;
    return files.WritePicture(base + ".raw", OutputBuffer, error) &&
           (!png || files.WritePng(base + ".png", OutputBuffer.Pixels, PictureWidth, PictureHeight, error)) &&
           files.Commit(error);
}

// The bytes the frames take on disk, each file rounded up to whole blocks;
// saturates rather than wrapping.
uint64_t BytesNeeded(const std::vector<FrameTimes>& times, bool png, uint64_t block) {
    const auto onDisk = [block](uint64_t bytes) { return (bytes + block - 1) / block * block; };
    const uint64_t perFrame = onDisk(PictureBytes) + (png ? onDisk(PngFrameBound) : 0);
    uint64_t total = 0;
    for (const FrameTimes& range : times) {
        const uint64_t frames = (range.end - range.start + range.step - 1) / range.step;
        if (frames > (UINT64_MAX - total) / perFrame) return UINT64_MAX;
        total += frames * perFrame;
    }
    return total;
}

// Refuses, naming both figures, a request that cannot fit in the free space
// of the output folder's file system.
bool FramesFit(const std::string& directory, const std::vector<FrameTimes>& times, bool png, std::string& error) {
    const uint64_t free = FreeBytes(directory);
    if (free == UINT64_MAX) return true;  // the writes will tell
    const uint64_t needed = BytesNeeded(times, png, FileBlock);
    if (needed <= free) return true;
    error = "the frames need " + (needed == UINT64_MAX ? std::string("more than ") : std::string()) +
            std::to_string(needed) + " bytes but " + directory + " has " + std::to_string(free) + " bytes free";
    return false;
}

}  // namespace

int main(int argc, char** argv) try {
    CommandLine line({"demo-frames",
                      {"[--png] [--content DIR] OUTDIR T..."},
                      "Renders the show at each elapsed time T (milliseconds, or START:END:STEP, meaning START, "
                      "START+STEP, ... below END) from the pictures 01.raw ... 23.raw in the working directory, and "
                      "writes OUTDIR/frame-T.raw.",
                      {{"png", nullptr, "Also write each frame as OUTDIR/frame-T.png."},
                       {"content", "DIR", "Read the pictures from the folder DIR instead; refused when it holds none."}}});
    bool png = false;
    std::string content = ".";
    const auto finished = line.Parse(argc, argv, [&](const std::string& name, const std::string& value) {
        if (name == "png") png = true;
        if (name == "content") content = value;
        return std::string();
    });
    if (finished) return *finished;
    const std::vector<std::string>& args = line.Operands();
    if (args.empty()) return line.Misused("");
    if (args.size() < 2) return line.Misused("no times given");
    const std::string directory = args.front();

    std::vector<FrameTimes> times;
    for (size_t i = 1; i < args.size(); ++i) {
        std::string error;
        const auto parsed = ParseFrameTimes(args[i], error);
        if (!parsed) return line.Misused(error);
        times.push_back(*parsed);
    }

    std::string error;
    if (content != "." && !HoldsPicture(content)) {
        return line.Failed("no pictures 01.raw ... 23.raw in " + content);
    }
    const bool existed = access(directory.c_str(), F_OK) == 0;
    if (!EnsureDirectory(directory, error) || !FramesFit(directory, times, png, error)) {
        if (!existed) rmdir(directory.c_str());
        return line.Failed(error);
    }

    if (!WorkInFolder(content, StartOffscreen, error)) {
        return line.Failed(error);
    }
    for (const FrameTimes& range : times) {
        for (uint64_t time = range.start; time < range.end; time += range.step) {
            const uint32_t elapsed = static_cast<uint32_t>(time);
            ComposeFrame(elapsed, elapsed);
            if (!WriteFrame(directory, elapsed, png, error)) {
                return line.Failed(error);
            }
        }
    }
    return 0;
} catch (const std::bad_alloc&) {
    return OutOfMemory("demo-frames");
}
