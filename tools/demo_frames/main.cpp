// demo-frames: renders frames of the show at chosen times, without a display.

#include <cstdio>
#include <string>
#include <vector>

#include "assets/image_bank.h"
#include "fx/plasma.h"
#include "show/render_frame.h"
#include "tools/common/file_output.h"
#include "tools/demo_frames/frame_times.h"

namespace {

int Usage(const std::string& problem) {
    if (!problem.empty()) std::fprintf(stderr, "demo-frames: %s\n", problem.c_str());
    std::fprintf(stderr,
                 "usage: demo-frames [--png] OUTDIR T...\n"
                 "  Renders the show at each elapsed time T (milliseconds, or START:END:STEP)\n"
                 "  from the pictures 01.raw ... 23.raw in the working directory, and writes\n"
                 "  OUTDIR/frame-T.raw (and OUTDIR/frame-T.png with --png).\n");
    return 2;
}

bool WriteFrame(const std::string& directory, uint32_t time, bool png, std::string& error) {
    const std::string base = directory + "/frame-" + std::to_string(time);
    if (!WritePictureFile(base + ".raw", OutputBuffer, error)) return false;
    return !png || WritePngAtomically(base + ".png", OutputBuffer.Pixels, PictureWidth,
                                      PictureHeight, error);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool png = false;
    if (!args.empty() && args.front() == "--png") {
        png = true;
        args.erase(args.begin());
    }
    if (args.empty()) return Usage("");
    if (args.front().size() > 1 && args.front()[0] == '-') return Usage("unknown option " + args.front());
    if (args.size() < 2) return Usage("no times given");
    const std::string directory = args.front();

    std::vector<FrameTimes> times;
    for (size_t i = 1; i < args.size(); ++i) {
        std::string error;
        const auto parsed = ParseFrameTimes(args[i], error);
        if (!parsed) return Usage(error);
        times.push_back(*parsed);
    }

    std::string error;
    if (!EnsureDirectory(directory, error)) {
        std::fprintf(stderr, "demo-frames: %s\n", error.c_str());
        return 1;
    }

    LoadImages();
    BuildSineTable();
    for (const FrameTimes& range : times) {
        for (uint64_t time = range.start; time < range.end; time += range.step) {
            const uint32_t elapsed = static_cast<uint32_t>(time);
            ComposeFrame(elapsed, elapsed);
            if (!WriteFrame(directory, elapsed, png, error)) {
                std::fprintf(stderr, "demo-frames: %s\n", error.c_str());
                return 1;
            }
        }
    }
    return 0;
}
