#pragma once
// Writes a video file with one picture stream and one 48 kHz stereo sound
// stream through FFmpeg's libraries.

#include <cstdint>
#include <memory>
#include <string>

#include "capture/frame_painter.h"
#include "capture/media_format.h"

struct AVFormatContext;

constexpr int SoundRate = 48000;

// The bytes of a file system a capture leaves to other programs: it stops
// rather than write into them.
constexpr uint64_t DiskReserve = uint64_t{32} << 20;

class MediaEncoder {
public:
    MediaEncoder();
    ~MediaEncoder();
    MediaEncoder(const MediaEncoder&) = delete;
    MediaEncoder& operator=(const MediaEncoder&) = delete;

    // Sets up both encoders for frames of width × height with the picture
    // placed by `layout`, writing into `fd`, open on the new empty file
    // `file`; messages call the file `name`.
    bool Open(int fd, const std::string& file, const std::string& name, const MediaFormat& format, int width,
              int height, const FrameLayout& layout, int fps, std::string& error);

    // The next frame, showing `picture`.
    bool AddPicture(const Picture& picture, std::string& error);

    // `count` stereo samples, interleaved, following the ones before.
    bool AddSound(const int16_t* samples, int count, std::string& error);

    // Drains both encoders, completes the file and closes it.
    bool Finish(std::string& error);

private:
    struct Stream;
    struct Sink;
    bool OpenVideo(const MediaFormat& format, int width, int height, int fps, std::string& error);
    bool OpenAudio(const MediaFormat& format, std::string& error);
    bool Send(Stream& stream, const struct AVFrame* frame, std::string& error);
    bool SendSound(int samples, std::string& error);
    bool Failed(const std::string& what, int code, std::string& error) const;

    std::string name_;
    AVFormatContext* container_ = nullptr;
    std::unique_ptr<Sink> sink_;
    struct AVIOContext* io_ = nullptr;
    std::unique_ptr<Stream> video_, audio_;
    std::unique_ptr<FramePainter> painter_;
    struct SwrContext* resampler_ = nullptr;  // also holds the sound not yet encoded
    int64_t videoFrames_ = 0, soundSamples_ = 0;
};
