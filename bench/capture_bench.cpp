// Capture throughput: the show rendered and encoded into a file, as
// demo-capture does it, with the default pictures and module.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/image_bank.h"
#include "authoring/pictures/generator.h"
#include "authoring/song/composition.h"
#include "capture/capture.h"
#include "output/file_output.h"
#include "platform/module_file.h"
#include "show/render_frame.h"

namespace {

// A private folder holding the default pictures and module, made the working
// directory; the captures are written there.
const std::string& Folder() {
    // Never destroyed: the clean-up at exit still needs it.
    static const std::string& folder = *new std::string([] {
        std::string pattern = (std::filesystem::temp_directory_path() / "demo-capture-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        std::vector<uint8_t> bytes;
        std::string error;
        if (!EncodeXm(ComposeSong(), bytes, error) ||
            !WriteFileAtomically(pattern + "/kimo.xm", bytes.data(), bytes.size(), error))
            std::abort();
        // The capture reads the pictures from the working directory.
        Picture picture;
        for (int number = 1; number <= DefaultPictureCount; ++number) {
            char name[PictureFileNameSize];
            PictureFileName(name, number);
            GeneratePicture(number, picture);
            if (!WritePictureFile(pattern + "/" + name, picture, error)) std::abort();
        }
        if (chdir(pattern.c_str()) != 0) std::abort();
        return pattern;
    }());
    static const bool cleanUp = std::atexit([] { std::filesystem::remove_all(folder); }) == 0;
    (void)cleanUp;
    return folder;
}

void Capture(benchmark::State& state, const char* name, bool lossless, int width, int height, int seconds) {
    CaptureSettings settings;
    settings.output = Folder() + "/" + name;
    settings.format = FindMediaFormat(name, lossless);
    settings.width = width;
    settings.height = height;
    settings.frames = seconds * settings.fps;
    for (auto _ : state) {
        settings.module = OpenModuleFile((Folder() + "/kimo.xm").c_str());
        StartOffscreen();
        std::string error;
        if (!CaptureShow(settings, nullptr, error)) state.SkipWithError(error.c_str());
        openmpt_module_destroy(settings.module);
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(settings.frames), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["x_real_time"] = benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

// The default capture: 1920 x 1080, 60 fps, H.264 and AAC.
BENCHMARK_CAPTURE(Capture, mp4_1080p60, "capture.mp4", false, 1920, 1080, 10)
    ->Name("BM_CaptureMp4")->Unit(benchmark::kSecond)->UseRealTime();
// --lossless --size 320x240: FFV1 and FLAC.
BENCHMARK_CAPTURE(Capture, lossless_320x240, "capture.mkv", true, 320, 240, 20)
    ->Name("BM_CaptureLossless")->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
