#include "capture/capture.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <vector>

#include "output/file_output.h"
#include "show/render_frame.h"

namespace {

// `count` stereo samples of the module, silence where it has none.
void RenderSound(openmpt_module* module, std::vector<int16_t>& sound, size_t count) {
    sound.assign(2 * count, 0);
    for (size_t done = 0; module && done < count;) {
        const size_t got = openmpt_module_read_interleaved_stereo(module, SoundRate, count - done,
                                                                  sound.data() + 2 * done);
        if (got == 0) break;
        done += got;
    }
}

bool Encode(const CaptureSettings& settings, const FrameLayout& layout, int fd, const std::string& temporary,
            const std::function<void(int64_t)>& progress, std::string& error) {
    MediaEncoder encoder;
    if (!encoder.Open(fd, temporary, settings.output, *settings.format, settings.width, settings.height, layout,
                      settings.fps, error))
        return false;
    std::vector<int16_t> sound;
    int64_t soundDone = 0;
    for (int64_t n = 0; n < settings.frames; ++n) {
        const uint32_t elapsed = FrameElapsed(n, settings.fps);
        ComposeFrame(elapsed, elapsed);
        if (!encoder.AddPicture(OutputBuffer, error)) return false;
        const int64_t soundEnd = (n + 1) * SoundRate / settings.fps;
        RenderSound(settings.module, sound, static_cast<size_t>(soundEnd - soundDone));
        if (!encoder.AddSound(sound.data(), static_cast<int>(soundEnd - soundDone), error)) return false;
        soundDone = soundEnd;
        if (progress) progress(n + 1);
    }
    return encoder.Finish(error);
}

}  // namespace

uint32_t FrameElapsed(int64_t n, int fps) { return static_cast<uint32_t>(n * 1000 / fps); }

bool CaptureShow(const CaptureSettings& settings, const std::function<void(int64_t)>& progress,
                 std::string& error) {
    FrameLayout layout;
    if (!FitFrame(settings.width, settings.height, settings.full, layout)) {
        error = "the frame is too small for the picture";
        return false;
    }
    // Found now rather than by the rename after a long encode.
    if (!CanReplace(settings.output, error)) return false;
    const std::string folder = std::filesystem::path(settings.output).parent_path();
    const uint64_t free = FreeBytes(folder), needed = EstimatedBytes(*settings.format, layout, settings.frames,
                                                                     settings.fps);
    if (free != UINT64_MAX && needed + DiskReserve > free) {
        error = "cannot write " + settings.output + ": it would take about " + std::to_string(needed >> 20) +
                " MB, and " + (folder.empty() ? "." : folder) + " has " + std::to_string(free >> 20) + " MB free, of which " +
                std::to_string(DiskReserve >> 20) + " MB are left to other programs";
        return false;
    }
    // What is not committed is removed, also on Ctrl-C and SIGTERM.
    OutputFiles file;
    std::string temporary;
    int fd = -1;
    try {
        return file.WriteLater(settings.output, fd, temporary, error) &&
               Encode(settings, layout, fd, temporary, progress, error) && file.Commit(error);
    } catch (const std::bad_alloc&) {
        error = "out of memory";
        return false;
    }
}
