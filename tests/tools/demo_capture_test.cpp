#include <fcntl.h>
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "capture/capture.h"
#include "output/file_output.h"
#include "tests/pictures.h"

namespace {

const std::string Tool = DEMO_CAPTURE_PATH;

// What a video file holds, decoded back with FFmpeg's libraries.
struct Decoded {
    AVCodecID video = AV_CODEC_ID_NONE, audio = AV_CODEC_ID_NONE;
    int width = 0, height = 0, sampleRate = 0, channels = 0;
    double videoSeconds = 0, audioSeconds = 0;  // last packet's end
    int64_t videoPackets = 0;
    int64_t videoFrames = 0;
    std::vector<std::vector<uint32_t>> pictures;  // as 0x00RRGGBB words
    std::vector<int16_t> sound;                   // 16-bit sound only, interleaved
};

uint32_t Clamp(double value) { return static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 255.0))); }

// BT.709 limited range, written out here rather than trusting the library
// that made the file.
std::vector<uint32_t> RgbFromYuv420(const AVFrame* frame) {
    std::vector<uint32_t> words(static_cast<size_t>(frame->width) * frame->height);
    for (int y = 0; y < frame->height; ++y)
        for (int x = 0; x < frame->width; ++x) {
            const double l = 1.164384 * (frame->data[0][y * frame->linesize[0] + x] - 16);
            const double u = frame->data[1][y / 2 * frame->linesize[1] + x / 2] - 128;
            const double v = frame->data[2][y / 2 * frame->linesize[2] + x / 2] - 128;
            words[y * frame->width + x] =
                Clamp(l + 1.792741 * v) << 16 | Clamp(l - 0.213249 * u - 0.532909 * v) << 8 | Clamp(l + 2.112402 * u);
        }
    return words;
}

// Keeps every bgr0 picture, and the 4:2:0 picture number `yuvPicture`.
void Keep(const AVFrame* frame, bool video, int64_t yuvPicture, Decoded& out) {
    if (video && frame->format == AV_PIX_FMT_YUV420P && out.videoFrames++ == yuvPicture) {
        out.pictures.push_back(RgbFromYuv420(frame));
    } else if (video && frame->format == AV_PIX_FMT_BGR0) {
        std::vector<uint32_t>& words = out.pictures.emplace_back(static_cast<size_t>(frame->width) * frame->height);
        for (int y = 0; y < frame->height; ++y)
            for (int x = 0; x < frame->width; ++x)
                std::memcpy(&words[y * frame->width + x], frame->data[0] + y * frame->linesize[0] + 4 * x, 4);
        for (uint32_t& word : words) word &= 0xFFFFFF;
    } else if (!video && frame->format == AV_SAMPLE_FMT_S16) {
        const int16_t* samples = reinterpret_cast<const int16_t*>(frame->data[0]);
        out.sound.insert(out.sound.end(), samples, samples + 2 * frame->nb_samples);
    }
}

// Decodes every stream to the end.
Decoded DecodeFile(const std::string& path, int64_t yuvPicture = -1) {
    Decoded out;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
        ADD_FAILURE() << "cannot open " << path;
        return out;
    }
    avformat_find_stream_info(format, nullptr);
    std::vector<AVCodecContext*> decoders(format->nb_streams, nullptr);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters* p = format->streams[i]->codecpar;
        if (p->codec_type == AVMEDIA_TYPE_VIDEO) {
            out.video = p->codec_id;
            out.width = p->width;
            out.height = p->height;
        } else {
            out.audio = p->codec_id;
            out.sampleRate = p->sample_rate;
            out.channels = p->ch_layout.nb_channels;
        }
        decoders[i] = avcodec_alloc_context3(avcodec_find_decoder(p->codec_id));
        avcodec_parameters_to_context(decoders[i], p);
        EXPECT_EQ(avcodec_open2(decoders[i], nullptr, nullptr), 0);
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const auto drain = [&](unsigned stream) {
        const bool video = format->streams[stream]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        while (avcodec_receive_frame(decoders[stream], frame) == 0) Keep(frame, video, yuvPicture, out);
    };
    while (av_read_frame(format, packet) >= 0) {
        const AVStream* stream = format->streams[packet->stream_index];
        const double end = (packet->pts + packet->duration) * av_q2d(stream->time_base);
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++out.videoPackets;
            out.videoSeconds = std::max(out.videoSeconds, end);
        } else {
            out.audioSeconds = std::max(out.audioSeconds, end);
        }
        avcodec_send_packet(decoders[packet->stream_index], packet);
        drain(packet->stream_index);
        av_packet_unref(packet);
    }
    for (unsigned i = 0; i < decoders.size(); ++i) {
        avcodec_send_packet(decoders[i], nullptr);
        drain(i);
        avcodec_free_context(&decoders[i]);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return out;
}

// The module library's own render: from the start, looping, without dither.
std::vector<int16_t> RenderModule(const std::string& bytes, size_t frames) {
    openmpt_module* module = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr,
                                                                nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(module, nullptr);
    if (!module) return {};
    openmpt_module_set_repeat_count(module, -1);
    openmpt_module_ctl_set_integer(module, "dither", 0);
    std::vector<int16_t> sound(2 * frames);
    size_t done = 0;
    while (done < frames) {
        const size_t got = openmpt_module_read_interleaved_stereo(module, 48000, frames - done, &sound[2 * done]);
        if (got == 0) break;
        done += got;
    }
    openmpt_module_destroy(module);
    return sound;
}

class DemoCapture : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestPictures(scratch);
        ASSERT_EQ(scratch.Run(DEMO_MUSIC_PATH " kimo.xm"), 0);
    }
    int Run(const std::string& args) { return scratch.Run(Tool + " " + args); }

    ScratchDirectory scratch;
};

struct LosslessCase {
    const char* options;
    int width, height, scale, x, y, firstRow, rows;
    double seconds;
};

TEST_F(DemoCapture, LosslessCaptureHoldsTheShowsFramesAndTheModulesSound) {
    const LosslessCase cases[] = {
        {"--size 320x240 --full", 320, 240, 1, 0, 0, 0, 240, 2},
        // The band, twice enlarged, centred as on a screen: 11 columns left.
        {"--size 662x380", 662, 380, 2, 11, 14, 32, 176, 0.25},
    };
    for (const LosslessCase& c : cases) {
        SCOPED_TRACE(c.options);
        std::string args = "--lossless --seconds ";
        args += std::to_string(c.seconds);
        args += ' ';
        args += c.options;
        ASSERT_EQ(Run(args + " out.mkv"), 0) << scratch.Errors();
        const int frames = static_cast<int>(c.seconds * 60);
        std::string times;
        for (int n = 0; n < frames; ++n) {
            times += ' ';
            times += std::to_string(n * 1000 / 60);
        }
        ASSERT_EQ(scratch.Run(DEMO_FRAMES_PATH " frames" + times), 0) << scratch.Errors();

        const Decoded decoded = DecodeFile(scratch.Path("out.mkv"));
        EXPECT_EQ(decoded.video, AV_CODEC_ID_FFV1);
        EXPECT_EQ(decoded.audio, AV_CODEC_ID_FLAC);
        ASSERT_EQ(decoded.pictures.size(), static_cast<size_t>(frames));
        for (int n = 0; n < frames; ++n) {
            const std::string shown = scratch.Read("frames/frame-" + std::to_string(n * 1000 / 60) + ".raw");
            ASSERT_EQ(shown.size(), 307200u);
            std::vector<uint32_t> expected(static_cast<size_t>(c.width) * c.height, 0);
            for (int y = 0; y < c.rows * c.scale; ++y)
                for (int x = 0; x < 320 * c.scale; ++x) {
                    uint32_t word;
                    std::memcpy(&word, &shown[4 * ((c.firstRow + y / c.scale) * 320 + x / c.scale)], 4);
                    expected[(c.y + y) * c.width + c.x + x] = word & 0xFFFFFF;
                }
            ASSERT_TRUE(decoded.pictures[n] == expected) << "frame " << n;
        }
        const size_t samples = static_cast<size_t>(c.seconds * 48000);
        ASSERT_EQ(decoded.sound.size(), 2 * samples);
        EXPECT_TRUE(decoded.sound == RenderModule(scratch.Read("kimo.xm"), samples));
        std::filesystem::remove_all(scratch.Path("frames"));
    }
}

TEST_F(DemoCapture, DefaultMp4HoldsH264AndAacOfTheRightSizeAndLength) {
    ASSERT_EQ(Run("--seconds 1 out.mp4"), 0) << scratch.Errors();
    const Decoded decoded = DecodeFile(scratch.Path("out.mp4"), 30);
    EXPECT_EQ(decoded.video, AV_CODEC_ID_H264);
    EXPECT_EQ(decoded.width, 1920);
    EXPECT_EQ(decoded.height, 1080);
    EXPECT_EQ(decoded.videoPackets, 60);
    EXPECT_NEAR(decoded.videoSeconds, 1.0, 1.0 / 60);
    EXPECT_EQ(decoded.audio, AV_CODEC_ID_AAC);
    EXPECT_EQ(decoded.sampleRate, 48000);
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_NEAR(decoded.audioSeconds, 1.0, 1.0 / 60);

    // Frame 30 looks like the show at 500 ms, six times enlarged, 12 rows
    // down. The mean difference is about 1.2 per channel; a misplaced picture
    // or mixed-up colours are far off (BT.709 read as BT.601 gives 4.3).
    ASSERT_EQ(scratch.Run(DEMO_FRAMES_PATH " frames 500"), 0) << scratch.Errors();
    const std::string shown = scratch.Read("frames/frame-500.raw");
    ASSERT_EQ(shown.size(), 307200u);
    ASSERT_EQ(decoded.pictures.size(), 1u);
    const std::vector<uint32_t>& picture = decoded.pictures[0];
    double difference = 0;
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x) {
            uint32_t word = 0;
            if (y >= 12 && y < 12 + 1056) std::memcpy(&word, &shown[4 * ((32 + (y - 12) / 6) * 320 + x / 6)], 4);
            for (int shift : {0, 8, 16})
                difference += std::abs(static_cast<int>(word >> shift & 0xFF) -
                                       static_cast<int>(picture[y * 1920 + x] >> shift & 0xFF));
        }
    EXPECT_LT(difference / (1920 * 1080 * 3), 2.5);
}

// Killed without a chance to clean up, a capture leaves its temporary file,
// which the next capture into the folder removes.
TEST_F(DemoCapture, InterruptedCaptureLeavesTheOldFileAndNoOther) {
    for (const auto& [signal, code] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}, std::pair{SIGKILL, 137}}) {
        SCOPED_TRACE(signal);
        scratch.Write("out.mkv", "old");
        const std::vector<std::string> before = scratch.List();
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(scratch.Path().c_str()) == 0 && freopen("/dev/null", "w", stderr))
                execl(Tool.c_str(), Tool.c_str(), "--lossless", "--size", "320x240", "out.mkv", nullptr);
            _exit(127);
        }
        // Wait until the encoding is under way: the temporary file is there.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (scratch.List() == before && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_NE(scratch.List(), before);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        kill(child, signal);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        // What the shell reports, whether the tool exits or dies of the signal.
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), code);
        EXPECT_EQ(scratch.Read("out.mkv"), "old");
        if (signal == SIGKILL) {
            EXPECT_EQ(scratch.List().size(), before.size() + 1);
            // The longest name a folder holds, which a temporary named after it would exceed.
            const std::string longest = std::string(247, 'n') + ".mkv";
            EXPECT_EQ(Run("--lossless --size 320x240 --seconds 0.1 " + longest), 0) << scratch.Errors();
            std::filesystem::remove(scratch.Path(longest));
        }
        EXPECT_EQ(scratch.List(), before);
    }
}

TEST_F(DemoCapture, BadOptionsGiveUsageAndExitCode2) {
    const std::vector<std::string> before = scratch.List();
    for (const char* args : {"", "--seconds 1", "a.mp4 b.mp4", "--bogus out.mp4", "out.avi", "out",
                             "--lossless out.mp4", "--seconds 0 out.mp4", "--seconds x out.mp4", "--fps 0 out.mp4",
                             "--fps 60.5 out.mp4", "--size 1920 out.mp4", "--size 319x240 out.mp4",
                             "--size 320x175 out.mp4", "--full --size 320x239 out.mkv", "--size 641x480 out.mp4",
                             "out.mp4 --seconds", "--seconds 0x2 out.mp4", "--seconds 1e1 out.mp4",
                             "--seconds 1.2.3 out.mp4", "--seconds inf out.mp4", "--seconds +1 out.mp4",
                             "--fps 0x10 out.mp4", "--size 7682x4320 out.mp4", "--size 3842x2160 out.webm",
                             "--size 3840x2162 out.mkv", "--lossless --size 2562x1440 out.mkv"}) {
        EXPECT_EQ(Run(args), 2) << args;
        EXPECT_NE(scratch.Errors().find("usage: demo-capture"), std::string::npos) << args;
    }
    EXPECT_EQ(Run("out.avi"), 2);
    EXPECT_NE(scratch.Errors().find(".mp4, .mkv, .webm"), std::string::npos) << scratch.Errors();
    EXPECT_EQ(scratch.List(), before);
}

TEST_F(DemoCapture, UnwritableDestinationGivesOneLineAndExitCode1) {
    std::filesystem::create_directory(scratch.Path("folder.mp4"));
    ASSERT_EQ(mkfifo(scratch.Path("fifo.mp4").c_str(), 0666), 0);
    const std::vector<std::string> before = scratch.List();
    for (const std::string out : {"missing/out.mp4", "folder.mp4", "fifo.mp4"}) {
        EXPECT_EQ(Run("--seconds 0.1 " + out), 1) << out;
        EXPECT_EQ(scratch.Errors().rfind("demo-capture: cannot write " + out + ": ", 0), 0u) << scratch.Errors();
        EXPECT_EQ(std::count(scratch.Errors().begin(), scratch.Errors().end(), '\n'), 1) << out;
        EXPECT_EQ(scratch.List(), before) << out;
    }
}

// The largest frame of each kind, under a memory limit well below what it
// needs: refused in one line or written, never a crash.
TEST_F(DemoCapture, LargestFramesUnderAMemoryLimitFailCleanly) {
#ifdef DEMO_SANITIZED
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
#endif
    const std::vector<std::string> before = scratch.List();
    for (const std::string args : {"--size 7680x4320 out.mp4", "--size 3840x2160 out.webm",
                                   "--lossless --size 2560x1440 out.mkv"}) {
        for (const char* limit : {"300000", "1000000"}) {
            SCOPED_TRACE(args + " under ulimit -v " + limit);
            const int code = scratch.Run(std::string("ulimit -v ") + limit + " && " + Tool + " --seconds 0.05 " + args);
            if (code == 0) {
                std::filesystem::remove(scratch.Path(args.substr(args.rfind(' ') + 1)));
            } else {
                EXPECT_EQ(code, 1) << scratch.Errors();
                EXPECT_EQ(scratch.Errors().rfind("demo-capture: ", 0), 0u) << scratch.Errors();
                EXPECT_EQ(std::count(scratch.Errors().begin(), scratch.Errors().end(), '\n'), 1) << scratch.Errors();
            }
            EXPECT_EQ(scratch.List(), before);
        }
    }
}

// The size estimate is above what each kind of file takes, within reason.
TEST_F(DemoCapture, EstimatedSizeIsAboveTheFilesSize) {
    for (const auto& [args, lossless] : {std::pair{"--size 640x480 out.mp4", false},
                                         std::pair{"--size 640x480 out.webm", false},
                                         std::pair{"--size 320x240 --full out.mkv", true}}) {
        SCOPED_TRACE(args);
        ASSERT_EQ(Run(std::string("--seconds 2 ") + (lossless ? "--lossless " : "") + args), 0) << scratch.Errors();
        const std::string out = std::string(args).substr(std::string(args).rfind(' ') + 1);
        const MediaFormat* format = FindMediaFormat(out, lossless);
        ASSERT_NE(format, nullptr);
        FrameLayout layout;
        ASSERT_TRUE(FitFrame(lossless ? 320 : 640, lossless ? 240 : 480, lossless, layout));
        const uint64_t size = std::filesystem::file_size(scratch.Path(out));
        EXPECT_LE(size, EstimatedBytes(*format, layout, 120, 60));
        EXPECT_GE(size * 10, EstimatedBytes(*format, layout, 120, 60));
        std::filesystem::remove(scratch.Path(out));
    }
}

// Renders `frames` frames of black and silence into `fd`, open on `path`;
// the error, empty when all went well.
std::string TryToEncode(const MediaFormat& format, int width, int height, int fd, const std::string& path,
                        int frames = 30) {
    static Picture black;
    static const std::vector<int16_t> silence(2 * 1600);
    FrameLayout layout;
    EXPECT_TRUE(FitFrame(width, height, false, layout));
    MediaEncoder encoder;
    std::string error;
    bool done = encoder.Open(fd, path, "out", format, width, height, layout, 30, error);
    for (int n = 0; done && n < frames; ++n)
        done = encoder.AddPicture(black, error) && encoder.AddSound(silence.data(), 1600, error);
    done = done && encoder.Finish(error);
    return done ? "" : error;
}

uint64_t NearlyFull(const std::string&) { return DiskReserve + 1000; }
uint64_t HundredMegabytes(const std::string&) { return uint64_t{100} << 20; }

TEST(CaptureShow, ACaptureThatCannotFitIsRefusedWithBothFigures) {
    ScratchDirectory scratch;
    CaptureSettings settings;
    settings.output = scratch.Path("out.mp4");
    settings.format = FindMediaFormat(settings.output, false);
    settings.frames = 368 * 60;
    const auto systemFreeBytes = FreeBytes;
    FreeBytes = HundredMegabytes;
    std::string error;
    EXPECT_FALSE(CaptureShow(settings, nullptr, error));
    FreeBytes = systemFreeBytes;
    const std::string start = "cannot write " + settings.output + ": it would take about ";
    ASSERT_EQ(error.rfind(start, 0), 0u) << error;
    EXPECT_GT(std::stoi(error.substr(start.size())), 100) << error;
    EXPECT_NE(error.find(" MB, and " + scratch.Path() + " has 100 MB free, of which 32 MB are left to other programs"),
              std::string::npos)
        << error;
    EXPECT_TRUE(scratch.List().empty());
}

// Each way for an encoder or the container to fail, forced: one line with
// FFmpeg's reason.
TEST(MediaEncoder, EveryFailureGivesOneLineWithTheReason) {
    ScratchDirectory scratch;
    const MediaFormat mp4 = *FindMediaFormat("a.mp4", false), webm = *FindMediaFormat("a.webm", false),
                      lossless = *FindMediaFormat("a.mkv", true);
    const auto with = [](MediaFormat format, const std::function<void(MediaFormat&)>& change) {
        change(format);
        return format;
    };
    struct Case {
        const char* what;
        MediaFormat format;
        int width, height;
        const char* file;
        int flags;
        std::string expected;
    };
    const std::string file = scratch.Path("out");
    const Case cases[] = {
        {"a size the encoder's slices cannot cover", lossless, 7680, 4320, "", 0,
         "cannot set up the ffv1 encoder: Unsupported number 4 of slices"},
        {"a width beyond the encoder's", webm, 66000, 480, "", 0, "cannot set up the libvpx-vp9 encoder: "},
        {"a value out of range", with(webm, [](MediaFormat& f) { f.videoOptions = "crf=99"; }), 640, 480, "", 0,
         "cannot set up the libvpx-vp9 encoder: "},
        {"an option the encoder does not know", with(webm, [](MediaFormat& f) { f.audioOptions = "b=1k colour=red"; }),
         640, 480, "", 0, "libopus does not know the option colour"},
        {"an encoder that is missing", with(mp4, [](MediaFormat& f) { f.video = "h999"; }), 640, 480, "", 0,
         "this FFmpeg has no h999 encoder"},
        {"a container that is missing", with(mp4, [](MediaFormat& f) { f.muxer = "nonesuch"; }), 640, 480, "", 0,
         "cannot set up the nonesuch container: "},
        {"a container refusing the streams", with(mp4, [](MediaFormat& f) { f.muxer = "webm"; }), 640, 480, "",
         0, "cannot write out: Only VP8 or VP9 or AV1"},
        {"a full device", webm, 640, 480, "/dev/full", O_WRONLY, "cannot write out: No space left on device"},
        {"a descriptor open for reading", mp4, 640, 480, "", O_RDONLY, "cannot write out: Bad file descriptor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = *c.file ? c.file : file;
        const int fd = open(path.c_str(), c.flags | O_CREAT | O_TRUNC, 0666);
        ASSERT_GE(fd, 0);
        const std::string error = TryToEncode(c.format, c.width, c.height, fd, path);
        close(fd);
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    // A file system about to be full.
    const auto systemFreeBytes = FreeBytes;
    FreeBytes = NearlyFull;
    const int fd = open(file.c_str(), O_WRONLY | O_TRUNC);
    const std::string error = TryToEncode(webm, 640, 480, fd, file);
    close(fd);
    FreeBytes = systemFreeBytes;
    EXPECT_EQ(error, "cannot write out: its disk is nearly full; the last 32 MB are left to other programs");
}

// Outside a folder holding content the capture plays what the launcher
// plays: here, with no folder of the user's, the installed defaults, found
// beside a copy of the tool installed as libexec/twenty-three-turns/demo-capture,
// where the launcher runs it. The folder of
// links it loads them through is gone afterwards. Without any pictures,
// named by --content or anywhere, it writes nothing.
TEST_F(DemoCapture, OutsideAContentFolderCapturesTheDefaultsAndWithoutPicturesNothing) {
    namespace fs = std::filesystem;
    for (const char* folder : {"stage/libexec/twenty-three-turns", "stage/share", "home", "runtime", "elsewhere", "empty"})
        fs::create_directories(scratch.Path(folder));
    fs::permissions(scratch.Path("runtime"), fs::perms::owner_all);  // a runtime folder as the user's session has it
    fs::copy_file(Tool, scratch.Path("stage/libexec/twenty-three-turns/demo-capture"));
    fs::create_directory_symlink(scratch.Path(), scratch.Path("stage/share/twenty-three-turns"));
    const std::string environment = "env -u XDG_DATA_HOME HOME=../home XDG_RUNTIME_DIR=" + scratch.Path("runtime") + " ";
    const std::string options = " --lossless --size 320x240 --full --seconds 0.05 ";
    ASSERT_EQ(Run(options + "here.mkv"), 0) << scratch.Errors();
    ASSERT_EQ(scratch.Run("cd elsewhere && " + environment + "../stage/libexec/twenty-three-turns/demo-capture" + options + "../there.mkv"), 0)
        << scratch.Errors();
    const Decoded here = DecodeFile(scratch.Path("here.mkv")), there = DecodeFile(scratch.Path("there.mkv"));
    ASSERT_EQ(there.pictures.size(), 3u);
    EXPECT_TRUE(there.pictures == here.pictures);
    EXPECT_TRUE(there.sound == here.sound);
    EXPECT_TRUE(scratch.List("runtime").empty());

    const std::vector<std::string> before = scratch.List();
    EXPECT_EQ(Run("--content empty out.mkv"), 1);
    EXPECT_EQ(scratch.Errors(), "demo-capture: no pictures 01.raw ... 23.raw in empty: nothing to capture\n");
    EXPECT_EQ(scratch.Run("cd elsewhere && " + environment + Tool + " ../out.mkv"), 1);
    EXPECT_EQ(scratch.Errors().rfind("demo-capture: no pictures 01.raw ... 23.raw in ", 0), 0u) << scratch.Errors();
    EXPECT_EQ(std::count(scratch.Errors().begin(), scratch.Errors().end(), '\n'), 1) << scratch.Errors();
    EXPECT_EQ(scratch.List(), before);
    EXPECT_TRUE(scratch.List("runtime").empty());
    EXPECT_TRUE(scratch.List("elsewhere").empty());
}

}  // namespace
