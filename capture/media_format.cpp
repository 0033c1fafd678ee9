#include "capture/media_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

// The settings and their reasons are in docs/capture.md.
const MediaFormat Formats[] = {
    {".mp4", "mp4", "movflags=+faststart", "libx264", "preset=ultrafast crf=23 x264-params=cabac=1:bframes=3:b-adapt=1",
     "aac", "b=192k", 0.45, 200000, 7680, 4320},
    {".mkv", "matroska", "", "libvpx-vp9", "deadline=realtime cpu-used=8 row-mt=1 crf=30 b=0", "libopus", "b=160k",
     0.45, 170000, 3840, 2160},
    {".webm", "webm", "", "libvpx-vp9", "deadline=realtime cpu-used=8 row-mt=1 crf=30 b=0", "libopus", "b=160k",
     0.45, 170000, 3840, 2160},
};
const MediaFormat Lossless = {".mkv", "matroska", "", "ffv1", "level=3 slices=4 slicecrc=1 g=1", "flac", "",
                              8, 1536000, 2560, 1440};

bool IsLossless(const MediaFormat& format) { return &format == &Lossless; }

std::string Extension(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

}  // namespace

const MediaFormat* FindMediaFormat(const std::string& path, bool lossless) {
    const std::string extension = Extension(path);
    if (lossless) return extension == Lossless.extension ? &Lossless : nullptr;
    for (const MediaFormat& format : Formats)
        if (extension == format.extension) return &format;
    return nullptr;
}

std::string KnownExtensions() {
    std::string list;
    for (const MediaFormat& format : Formats) list += std::string(list.empty() ? "" : ", ") + format.extension;
    return list;
}

bool UsesYuv420(const MediaFormat& format) { return !IsLossless(format); }

uint64_t EstimatedBytes(const MediaFormat& format, const FrameLayout& layout, int64_t frames, int fps) {
    // Frames further apart differ more and take more bits, except key frames alone.
    const double spacing = IsLossless(format) ? 1 : std::sqrt(60.0 / fps);
    const double pictureBits = format.pictureBits * spacing * PictureWidth * layout.rows * layout.scale;
    const double bits = static_cast<double>(frames) * (pictureBits + static_cast<double>(format.soundBits) / fps);
    return static_cast<uint64_t>(bits / 8 * 1.02);  // with the container's own share
}
