// demo-capture: renders the show offline, frame by frame, into a video file
// with its music.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "assets/image_bank.h"
#include "capture/capture.h"
#include "capture/progress.h"
#include "command_line/command_line.h"
#include "content_location/content_folder.h"
#include "facts/content.h"
#include "platform/module_file.h"
#include "show/render_frame.h"

namespace {

constexpr double MaxSeconds = 86400;
constexpr int MaxFps = 240;
constexpr int MaxSide = 7680;

std::optional<long> ParseWhole(const std::string& text, long low, long high) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

// Decimal digits with at most one point: no sign, exponent or hexadecimal.
std::optional<double> ParseSeconds(const std::string& text) {
    if (text.find_first_not_of("0123456789.") != std::string::npos || text.find_first_of("0123456789") == std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1)
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value) || value <= 0 || value > MaxSeconds) return std::nullopt;
    return value;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const auto w = ParseWhole(text.substr(0, x), 1, MaxSide);
    const auto h = ParseWhole(text.substr(x + 1), 1, MaxSide);
    if (!w || !h) return false;
    width = static_cast<int>(*w);
    height = static_cast<int>(*h);
    return true;
}

}  // namespace

// Loads the pictures and the module from `folder`, or when none is given from
// the working directory if it holds content and else from what the launcher
// plays; or says why there is nothing to capture.
bool LoadContent(const std::string& folder, CaptureSettings& settings, std::string& error) {
    const auto load = [&settings] {
        StartOffscreen();
        settings.module = OpenModuleFile(ModuleFileName);
    };
    const std::string none = "no pictures 01.raw ... 23.raw in ";
    if (!folder.empty() || HoldsContent(".")) {
        const std::string where = folder.empty() ? std::string(".") : folder;
        if (HoldsPicture(where)) return WorkInFolder(where, load, error);
        error = none + (folder.empty() ? std::string("the working directory") : folder) + ": nothing to capture";
        return false;
    }
    const std::vector<ContentFile> files = LauncherContent(PROGRAM_TO_CONTENT);
    if (std::none_of(files.begin(), files.end(), [](const ContentFile& file) { return file.name != ModuleFileName; })) {
        error = none + OwnContentFolder() + " or " + InstalledContentFolder(PROGRAM_TO_CONTENT) + ": nothing to capture";
        return false;
    }
    RunFolder run;
    return run.Make(files, error) && run.WorkIn(load, error);
}

int main(int argc, char** argv) try {
    CommandLine line({"demo-capture",
                      {"[options] OUT"},
                      "Captures the show from the pictures 01.raw ... 23.raw and the module kimo.xm into the video file "
                      "OUT, whose extension picks the kind: .mp4 (H.264 and AAC), .mkv or .webm (VP9 and Opus). The "
                      "content is the working directory's when it holds any, else what twenty-three-turns plays: "
                      "~/.local/share/twenty-three-turns with the installed defaults for files missing there.",
                      {{"content", "DIR", "Read the pictures and the module from the folder DIR."},
                       {"seconds", "S", "Length in seconds, a decimal number; default 368, one cycle of the 23 pictures."},
                       {"fps", "N", "Frames per second, 1 to 240; default 60."},
                       {"size", "WxH",
                        "Frame size; default 1920x1080. The picture's band is placed as the show places it on a screen "
                        "of that size: enlarged by the largest whole factor that fits, with sharp pixels, centred on "
                        "black. The largest size is 7680x4320 for .mp4, 3840x2160 for .mkv and .webm, and 2560x1440 "
                        "with --lossless, which keeps the memory used below 1.5 GB."},
                       {"full", nullptr, "Frame the whole 320 x 240 picture rather than its 176 drawn rows."},
                       {"lossless", nullptr, "FFV1 video and FLAC sound in an .mkv file, for archiving."}}});
    CaptureSettings settings;
    double seconds = CycleMilliseconds / 1000.0;
    bool lossless = false;
    std::string content;
    const auto finished = line.Parse(argc, argv, [&](const std::string& name, const std::string& value) {
        if (name == "seconds") {
            const auto parsed = ParseSeconds(value);
            if (!parsed) return "--seconds wants a length above 0 and up to 86400, not '" + value + "'";
            seconds = *parsed;
        } else if (name == "fps") {
            const auto parsed = ParseWhole(value, 1, MaxFps);
            if (!parsed) return "--fps wants a whole number from 1 to 240, not '" + value + "'";
            settings.fps = static_cast<int>(*parsed);
        } else if (name == "size") {
            if (!ParseSize(value, settings.width, settings.height))
                return "--size wants WIDTHxHEIGHT, each from 1 to 7680, not '" + value + "'";
        } else if (name == "content") {
            if (value.empty()) return std::string("--content needs a folder");
            content = value;
        } else if (name == "full") {
            settings.full = true;
        } else if (name == "lossless") {
            lossless = true;
        }
        return std::string();
    });
    if (finished) return *finished;
    const std::vector<std::string>& outputs = line.Operands();
    if (outputs.size() != 1) return line.Misused(outputs.empty() ? "no output file given" : "more than one output file");
    settings.output = outputs.front();
    settings.format = FindMediaFormat(settings.output, lossless);
    if (!settings.format)
        return line.Misused(lossless ? "--lossless writes .mkv files"
                              : "unknown kind of file " + settings.output + "; known: " + KnownExtensions());
    const MediaFormat& format = *settings.format;
    if (settings.width > format.maxWidth || settings.height > format.maxHeight)
        return line.Misused(std::string("--size goes up to ") + std::to_string(format.maxWidth) + "x" +
                     std::to_string(format.maxHeight) + (lossless ? std::string(" with --lossless") : std::string(" for ") + format.extension + " files"));
    FrameLayout layout;
    if (!FitFrame(settings.width, settings.height, settings.full, layout))
        return line.Misused(std::string("--size must hold the picture at least once: 320x") +
                     (settings.full ? "240" : "176") + " or more");
    if (UsesYuv420(*settings.format) && (settings.width % 2 || settings.height % 2))
        return line.Misused(std::string(settings.format->extension) + " files need an even width and height");
    settings.frames = std::llround(seconds * settings.fps);
    if (settings.frames < 1) return line.Misused("--seconds is shorter than one frame");

    std::string error;
    if (!LoadContent(content, settings, error)) return line.Failed(error);
    if (!settings.module) std::fprintf(stderr, "demo-capture: no playable %s: the sound track is silent\n", ModuleFileName);

    ProgressMeter meter(stderr, isatty(STDERR_FILENO), settings.frames, settings.fps);
    const bool done =
        CaptureShow(settings, [&meter](int64_t frames) { meter.Update(frames); }, error);
    if (settings.module) openmpt_module_destroy(settings.module);
    if (!done) {
        meter.Finish("");
        return line.Failed(error);
    }
    meter.Finish("demo-capture: wrote " + settings.output);
    return 0;
} catch (const std::bad_alloc&) {
    return OutOfMemory("demo-capture");
}
