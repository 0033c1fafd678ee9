#pragma once
// The kinds of video file a capture writes, told by the output's extension:
// their container, encoders and options, and what a file of each takes.

#include <cstdint>
#include <string>

#include "capture/frame_painter.h"

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
