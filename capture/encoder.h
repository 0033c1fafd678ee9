#pragma once
// Writes a video file with one picture stream and one 48 kHz stereo sound
// stream through FFmpeg's libraries.

#include <cstdint>
#include <memory>
#include <string>

#include "capture/frame_painter.h"

struct AVFormatContext;

// What goes into a file of one kind.
struct MediaFormat {
    const char* extension;     // ".mp4"
    const char* muxer;         // libavformat's name for the container
    const char* muxerOptions;  // "key=value key=value"
    const char* video;         // libavcodec's encoder names, with options
    const char* videoOptions;
    const char* audio;
    const char* audioOptions;
    // For estimating the size of a file, generously: the bits a frame at 60
    // frames a second takes for each pixel of the framed picture and each
    // step of enlargement (enlarged pixels cost little more than their
    // edges), and the bits a second of sound takes.
    double pictureBits;
    int soundBits;
    // The largest frame: the encoder's memory grows with it.
    int maxWidth, maxHeight;
};

// The format for an output path's extension, lossless or not; null when
// there is none.
const MediaFormat* FindMediaFormat(const std::string& path, bool lossless);

// The extensions FindMediaFormat knows, for messages: ".mp4, .mkv, .webm".
std::string KnownExtensions();

// About how many bytes a file of `frames` frames takes, rather more than less.
uint64_t EstimatedBytes(const MediaFormat& format, const FrameLayout& layout, int64_t frames, int fps);

// Whether the format stores colour at half width and height, so that the
// frame's width and height must be even.
bool UsesYuv420(const MediaFormat& format);

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
