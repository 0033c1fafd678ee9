#include "capture/encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/cpu.h>
#include <libswresample/swresample.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "output/file_output.h"

namespace {

// The libraries return a bare error code and log the reason; the last
// reason logged is kept to go with the code, and nothing is printed.
std::mutex LoggedLock;
std::string Logged;

void Keep(std::string reason) {
    while (!reason.empty() && std::isspace(static_cast<unsigned char>(reason.back()))) reason.pop_back();
    reason.erase(0, reason.find_first_not_of(" \t"));
    if (reason.empty()) return;
    const std::lock_guard<std::mutex> lock(LoggedLock);
    Logged = reason;
}

void KeepReason(void*, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_ERROR) return;
    char line[512];
    std::vsnprintf(line, sizeof line, format, arguments);
    Keep(line);
}

std::string TakeLogged() {
    const std::lock_guard<std::mutex> lock(LoggedLock);
    std::string reason;
    reason.swap(Logged);
    return reason;
}

// libx264 reports a failed allocation on standard error itself, bypassing
// FFmpeg's log: while an encoder opens, what goes there is kept as a reason.
class StandardErrorKept {
public:
    StandardErrorKept() : scratch_(std::tmpfile()), saved_(scratch_ ? dup(STDERR_FILENO) : -1) {
        std::fflush(stderr);
        if (saved_ >= 0) dup2(fileno(scratch_), STDERR_FILENO);
    }
    ~StandardErrorKept() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, STDERR_FILENO);
            close(saved_);
            char text[512] = {};
            std::rewind(scratch_);
            const size_t got = std::fread(text, 1, sizeof text - 1, scratch_);
            const std::string printed(text, got);
            Keep(printed.substr(0, printed.find('\n')));
        }
        if (scratch_) std::fclose(scratch_);
    }
    StandardErrorKept(const StandardErrorKept&) = delete;
    StandardErrorKept& operator=(const StandardErrorKept&) = delete;

private:
    std::FILE* scratch_;
    int saved_;
};

// FFmpeg's reason for `code`: what it logged, then the code's meaning.
std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    const std::string logged = TakeLogged();
    return logged.empty() ? text : logged + " (" + text + ")";
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
    const AVCodec* encoder = codec->codec;  // a failed open forgets it
    int code;
    {
        const StandardErrorKept kept;
        code = avcodec_open2(codec, encoder, &options);
    }
    const std::string unused = Unused(options);
    av_dict_free(&options);
    if (code >= 0 && !unused.empty()) {
        error = std::string(encoder->name) + " does not know the option " + unused;
        return false;
    }
    if (code >= 0) code = avcodec_parameters_from_context(stream->codecpar, codec);
    if (code < 0) {
        error = std::string("cannot set up the ") + encoder->name + " encoder: " + ErrorText(code);
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

// Encoders keep a few frames for each thread: larger frames get fewer threads,
// so that a machine with many cores does not take more memory.
int Threads(int width, int height) {
    const int64_t fit = int64_t{16} * 1920 * 1080 / (int64_t{width} * height);
    return static_cast<int>(std::clamp<int64_t>(fit, 1, av_cpu_count()));
}

}  // namespace

// The container's bytes go into an open file, stopping short of the last
// bytes of its file system.
struct MediaEncoder::Sink {
    int fd;
    std::string path;
    bool nearlyFull = false;

    static int Write(void* opaque, uint8_t* bytes, int size) {
        Sink& sink = *static_cast<Sink*>(opaque);
        const uint64_t free = FreeBytes(sink.path);
        if (free != UINT64_MAX && free < DiskReserve + static_cast<uint64_t>(size)) {
            sink.nearlyFull = true;
            return AVERROR(ENOSPC);
        }
        return WriteAll(sink.fd, bytes, static_cast<size_t>(size)) ? size : AVERROR(errno);
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence) {
        const int fd = static_cast<Sink*>(opaque)->fd;
        if (whence & AVSEEK_SIZE) {
            struct stat info {};
            return fstat(fd, &info) == 0 ? info.st_size : AVERROR(errno);
        }
        const off_t at = lseek(fd, offset, whence & ~AVSEEK_FORCE);
        return at >= 0 ? at : AVERROR(errno);
    }
};

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
    avformat_free_context(container_);
    if (io_) av_freep(&io_->buffer);
    avio_context_free(&io_);
}

bool MediaEncoder::Failed(const std::string& what, int code, std::string& error) const {
    error = what + ": " + ErrorText(code);
    if (sink_ && sink_->nearlyFull)
        error = "cannot write " + name_ + ": its disk is nearly full; the last " +
                std::to_string(DiskReserve >> 20) + " MB are left to other programs";
    return false;
}

bool MediaEncoder::Open(int fd, const std::string& file, const std::string& name, const MediaFormat& format,
                        int width, int height, const FrameLayout& layout, int fps, std::string& error) {
    av_log_set_callback(KeepReason);
    TakeLogged();
    name_ = name;
    painter_ = std::make_unique<FramePainter>(layout, width, height, UsesYuv420(format));
    if (!painter_->Ready()) {
        error = "cannot set up the colour conversion";
        return false;
    }
    int code = avformat_alloc_output_context2(&container_, nullptr, format.muxer, file.c_str());
    if (code < 0) return Failed(std::string("cannot set up the ") + format.muxer + " container", code, error);
    if (!OpenVideo(format, width, height, fps, error) || !OpenAudio(format, error)) return false;
    sink_ = std::make_unique<Sink>(Sink{fd, file});
    constexpr int BufferSize = 1 << 18;
    uint8_t* buffer = static_cast<uint8_t*>(av_malloc(BufferSize));
    io_ = buffer ? avio_alloc_context(buffer, BufferSize, 1, sink_.get(), nullptr, Sink::Write, Sink::Seek) : nullptr;
    if (!io_) {
        av_free(buffer);
        error = "out of memory";
        return false;
    }
    container_->pb = io_;
    container_->flags |= AVFMT_FLAG_CUSTOM_IO;
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
    codec->pix_fmt = UsesYuv420(format) ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_BGR0;
    codec->thread_count = Threads(width, height);
    if (UsesYuv420(format)) {
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
    const int code = av_write_trailer(container_);
    return code >= 0 || Failed("cannot write " + name_, code, error);
}
