#include "capture/encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cctype>

namespace {

// The settings and their reasons are in the README ("Capturing a video").
const MediaFormat Formats[] = {
    {".mp4", "mp4", "movflags=+faststart", "libx264", "preset=ultrafast crf=23 x264-params=cabac=1:bframes=3:b-adapt=1",
     "aac", "b=192k"},
    {".mkv", "matroska", "", "libvpx-vp9", "deadline=realtime cpu-used=8 row-mt=1 crf=30 b=0", "libopus", "b=160k"},
    {".webm", "webm", "", "libvpx-vp9", "deadline=realtime cpu-used=8 row-mt=1 crf=30 b=0", "libopus", "b=160k"},
};
const MediaFormat Lossless = {".mkv", "matroska", "", "ffv1", "level=3 slices=4 slicecrc=1 g=1", "flac", ""};

bool IsLossless(const MediaFormat& format) { return &format == &Lossless; }

std::string Extension(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// Options as "key=value key=value"; they override the context's defaults.
AVDictionary* Options(const char* text) {
    AVDictionary* options = nullptr;
    av_dict_parse_string(&options, text, "=", " ", 0);
    return options;
}

// Names left in `options` after opening were not understood.
std::string Unused(AVDictionary* options) {
    const AVDictionaryEntry* entry = av_dict_get(options, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    return entry ? entry->key : "";
}

// Opens the context's encoder with the options in `optionText` and describes
// `stream` after it.
bool OpenCodec(AVFormatContext* container, AVCodecContext* codec, const char* optionText, AVStream* stream,
               std::string& error) {
    if (container->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = Options(optionText);
    int code = avcodec_open2(codec, codec->codec, &options);
    const std::string unused = Unused(options);
    av_dict_free(&options);
    if (code >= 0 && !unused.empty()) {
        error = std::string(codec->codec->name) + " does not know the option " + unused;
        return false;
    }
    if (code >= 0) code = avcodec_parameters_from_context(stream->codecpar, codec);
    if (code < 0) {
        error = std::string("cannot set up the ") + codec->codec->name + " encoder: " + ErrorText(code);
        return false;
    }
    stream->time_base = codec->time_base;
    return true;
}

// A context for the encoder `name`, with a stream and a packet for it.
bool NewStream(AVFormatContext* container, const char* name, AVCodecContext*& codec, AVStream*& stream,
               AVPacket*& packet, std::string& error) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(name);
    if (!encoder) {
        error = std::string("this FFmpeg has no ") + name + " encoder";
        return false;
    }
    codec = avcodec_alloc_context3(encoder);
    stream = avformat_new_stream(container, nullptr);
    packet = av_packet_alloc();
    if (!codec || !stream || !packet) {
        error = "out of memory";
        return false;
    }
    return true;
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

struct MediaEncoder::Stream {
    AVStream* stream = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;

    ~Stream() {
        avcodec_free_context(&codec);
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
};

MediaEncoder::MediaEncoder() = default;

MediaEncoder::~MediaEncoder() {
    swr_free(&resampler_);
    if (container_) avio_closep(&container_->pb);
    avformat_free_context(container_);
}

bool MediaEncoder::Failed(const std::string& what, int code, std::string& error) const {
    error = what + ": " + ErrorText(code);
    return false;
}

bool MediaEncoder::Open(const std::string& file, const std::string& name, const MediaFormat& format,
                        int width, int height, const FrameLayout& layout, int fps, std::string& error) {
    name_ = name;
    painter_ = std::make_unique<FramePainter>(layout, width, height, UsesYuv420(format));
    if (!painter_->Ready()) {
        error = "cannot set up the colour conversion";
        return false;
    }
    int code = avformat_alloc_output_context2(&container_, nullptr, format.muxer, file.c_str());
    if (code < 0) return Failed(std::string("cannot set up the ") + format.muxer + " container", code, error);
    if (!OpenVideo(format, width, height, fps, error) || !OpenAudio(format, error)) return false;
    code = avio_open(&container_->pb, file.c_str(), AVIO_FLAG_WRITE);
    if (code < 0) return Failed("cannot write " + name_, code, error);
    AVDictionary* options = Options(format.muxerOptions);
    code = avformat_write_header(container_, &options);
    av_dict_free(&options);
    if (code < 0) return Failed("cannot write " + name_, code, error);
    return true;
}

bool MediaEncoder::OpenVideo(const MediaFormat& format, int width, int height, int fps, std::string& error) {
    video_ = std::make_unique<Stream>();
    if (!NewStream(container_, format.video, video_->codec, video_->stream, video_->packet, error)) return false;
    AVCodecContext* codec = video_->codec;
    codec->width = width;
    codec->height = height;
    codec->time_base = {1, fps};
    codec->framerate = {fps, 1};
    codec->sample_aspect_ratio = {1, 1};
    codec->pix_fmt = IsLossless(format) ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_YUV420P;
    codec->thread_count = 0;
    if (!IsLossless(format)) {
        codec->color_primaries = AVCOL_PRI_BT709;
        codec->color_trc = AVCOL_TRC_BT709;
        codec->colorspace = AVCOL_SPC_BT709;
        codec->color_range = AVCOL_RANGE_MPEG;
    }
    if (!OpenCodec(container_, codec, format.videoOptions, video_->stream, error)) return false;
    video_->stream->avg_frame_rate = codec->framerate;

    video_->frame = av_frame_alloc();
    if (!video_->frame) {
        error = "out of memory";
        return false;
    }
    video_->frame->format = codec->pix_fmt;
    video_->frame->width = width;
    video_->frame->height = height;
    const int code = av_frame_get_buffer(video_->frame, 0);
    return code >= 0 || Failed("cannot make a video frame", code, error);
}

bool MediaEncoder::OpenAudio(const MediaFormat& format, std::string& error) {
    audio_ = std::make_unique<Stream>();
    if (!NewStream(container_, format.audio, audio_->codec, audio_->stream, audio_->packet, error)) return false;
    AVCodecContext* codec = audio_->codec;
    const AVSampleFormat* formats = codec->codec->sample_fmts;
    codec->sample_fmt = formats[0];
    for (const AVSampleFormat* f = formats; *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == AV_SAMPLE_FMT_S16) codec->sample_fmt = *f;  // the module's own, kept exactly
    codec->sample_rate = SoundRate;
    codec->time_base = {1, SoundRate};
    av_channel_layout_default(&codec->ch_layout, 2);
    if (!OpenCodec(container_, codec, format.audioOptions, audio_->stream, error)) return false;

    AVChannelLayout stereo;
    av_channel_layout_default(&stereo, 2);
    int code = swr_alloc_set_opts2(&resampler_, &stereo, codec->sample_fmt, SoundRate, &stereo, AV_SAMPLE_FMT_S16,
                                   SoundRate, 0, nullptr);
    if (code >= 0) code = swr_init(resampler_);
    if (code < 0) return Failed("cannot set up the sound conversion", code, error);

    AVFrame* frame = audio_->frame = av_frame_alloc();
    if (!frame) {
        error = "out of memory";
        return false;
    }
    frame->format = codec->sample_fmt;
    frame->sample_rate = SoundRate;
    frame->nb_samples = codec->frame_size > 0 ? codec->frame_size : 1024;
    av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
    code = av_frame_get_buffer(frame, 0);
    return code >= 0 || Failed("cannot make a sound frame", code, error);
}

// Hands `frame` to the stream's encoder (null drains it) and writes what comes out.
bool MediaEncoder::Send(Stream& stream, const AVFrame* frame, std::string& error) {
    int code = avcodec_send_frame(stream.codec, frame);
    if (code < 0) return Failed(std::string("the ") + stream.codec->codec->name + " encoder failed", code, error);
    for (;;) {
        code = avcodec_receive_packet(stream.codec, stream.packet);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
        if (code < 0) return Failed(std::string("the ") + stream.codec->codec->name + " encoder failed", code, error);
        av_packet_rescale_ts(stream.packet, stream.codec->time_base, stream.stream->time_base);
        stream.packet->stream_index = stream.stream->index;
        code = av_interleaved_write_frame(container_, stream.packet);
        if (code < 0) return Failed("cannot write " + name_, code, error);
    }
}

bool MediaEncoder::AddPicture(const Picture& picture, std::string& error) {
    AVFrame* frame = video_->frame;
    int code = av_frame_make_writable(frame);
    if (code < 0) return Failed("cannot make a video frame", code, error);
    painter_->Paint(picture, frame->data, frame->linesize);
    frame->pts = videoFrames_++;
    return Send(*video_, frame, error);
}

// Takes up to `samples` converted samples out of the resampler and encodes them.
bool MediaEncoder::SendSound(int samples, std::string& error) {
    AVFrame* frame = audio_->frame;
    int code = av_frame_make_writable(frame);
    if (code < 0) return Failed("cannot make a sound frame", code, error);
    code = swr_convert(resampler_, frame->data, samples, nullptr, 0);
    if (code < 0) return Failed("cannot convert the sound", code, error);
    if (code == 0) return true;
    frame->nb_samples = code;
    frame->pts = soundSamples_;
    soundSamples_ += code;
    return Send(*audio_, frame, error);
}

bool MediaEncoder::AddSound(const int16_t* samples, int count, std::string& error) {
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(samples)};
    const int code = swr_convert(resampler_, nullptr, 0, source, count);
    if (code < 0) return Failed("cannot convert the sound", code, error);
    const int frameSize = audio_->codec->frame_size > 0 ? audio_->codec->frame_size : 1024;
    while (swr_get_out_samples(resampler_, 0) >= frameSize)
        if (!SendSound(frameSize, error)) return false;
    return true;
}

bool MediaEncoder::Finish(std::string& error) {
    const int frameSize = audio_->frame->nb_samples;
    if (!Send(*video_, nullptr, error) || !SendSound(frameSize, error) || !Send(*audio_, nullptr, error))
        return false;
    int code = av_write_trailer(container_);
    if (code >= 0) code = avio_closep(&container_->pb);
    return code >= 0 || Failed("cannot write " + name_, code, error);
}
