// The real show on a private X server: the screen it takes, the picture it
// shows, the ways it ends and the sound it makes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/e2e/show_run.h"
#include "tests/pictures.h"
#include "tests/platform/test_module.h"

namespace {

// Deadlines for the show's reactions, longer where sanitizers slow it down.
// Another program under test (DEMO_SHOW, below) runs under Wine, whose
// processes take seconds to end.
#ifdef DEMO_SANITIZED
const int Slowdown = std::getenv("DEMO_SHOW") ? 15 : 3;
#else
const int Slowdown = std::getenv("DEMO_SHOW") ? 5 : 1;
#endif

// The show under test: this build's, or the program DEMO_SHOW names (the
// Windows build under Wine, through a script).
std::string ShowProgram() {
    const char* other = std::getenv("DEMO_SHOW");
    return other && *other ? other : DEMO_PATH;
}

class Show : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
        WriteTestPictures(folder);
        server = std::make_unique<Xvfb>();
        ASSERT_NE(server->x, nullptr) << "Xvfb did not start on '" << server->name << "'";
    }
    void TearDown() override {
        if (pid > 0 && WaitExit(pid, 0) == -1) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    void Start(std::vector<std::pair<std::string, std::string>> environment = {}) {
        environment.insert(environment.begin(), {{"DISPLAY", server->name}, {"SDL_AUDIODRIVER", "dummy"}});
        pid = Spawn({ShowProgram()}, environment, folder.Path(), folder.Path("output.txt"));
        ASSERT_GT(pid, 0);
    }

    // Waits for the show's window to cover the screen and show the picture.
    Window AwaitScreen() {
        for (int tries = 0; tries < 1500; ++tries, Pause(20)) {
            const Window window = server->FindWindow("test");
            XWindowAttributes attributes;
            if (window && XGetWindowAttributes(server->x, window, &attributes) && attributes.x == 0 &&
                attributes.y == 0 && attributes.width == Xvfb::Width && attributes.height == Xvfb::Height &&
                server->Pixel(Xvfb::Width / 2, Xvfb::Height / 2) != 0)
                return window;
            if (WaitExit(pid, 0) != -1) break;
        }
        ADD_FAILURE() << "the show did not take the screen: " << folder.Read("output.txt");
        return 0;
    }

    // The show's sound stream over `milliseconds` on screen, ended by Escape.
    std::vector<int16_t> CaptureSound(int milliseconds) {
        Start({{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", folder.Path("audio.raw")}});
        if (!AwaitScreen()) return {};
        Pause(milliseconds);
        PressEscape();
        EXPECT_EQ(WaitExit(pid, 1000 * Slowdown), 0) << folder.Read("output.txt");
        const std::string bytes = folder.Read("audio.raw");
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }

    void PressEscape() const {
        std::system(("DISPLAY=" + server->name + " xdotool key Escape").c_str());
    }

    std::unique_ptr<Xvfb> server;
    ScratchDirectory folder;  // the show runs here, on test pictures
    pid_t pid = -1;
};

// The rows and columns that hold anything but black.
struct Extent {
    int top = -1, bottom = -1, left = -1, right = -1;
};

Extent PictureExtent(const std::vector<uint32_t>& screen, int width = Xvfb::Width) {
    Extent extent;
    const int height = static_cast<int>(screen.size()) / width;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (screen[y * width + x]) {
                if (extent.top < 0) extent.top = y;
                extent.bottom = y;
                extent.left = extent.left < 0 ? x : std::min(extent.left, x);
                extent.right = std::max(extent.right, x);
            }
    return extent;
}

TEST_F(Show, TakesTheScreenWithALetterboxedMovingPictureUntilEscape) {
    Start();
    ASSERT_NE(AwaitScreen(), 0u);
    Pause(2000);
    const std::vector<uint32_t> first = server->Screenshot();
    Pause(500);
    const std::vector<uint32_t> second = server->Screenshot();
    ASSERT_EQ(first.size(), size_t{Xvfb::Width * Xvfb::Height});

    // The 320 x 176 picture band alone, 3 times enlarged (960 x 528) in the
    // middle of the screen, black all around.
    const Extent band = PictureExtent(first);
    EXPECT_EQ(band.left, 32);
    EXPECT_EQ(band.top, 120);
    EXPECT_EQ(band.right, 32 + 960 - 1);
    EXPECT_EQ(band.bottom, 120 + 528 - 1);
    // No black hole inside the band, and it moves.
    const int middle = (band.top + band.bottom) / 2;
    for (int x = band.left; x <= band.right; ++x) ASSERT_NE(first[middle * Xvfb::Width + x], 0u) << x;
    // Each pixel of the band a uniform 3 x 3 block, nothing smoothed between them.
    for (int y = band.top; y <= band.bottom; ++y)
        for (int x = band.left; x <= band.right; ++x) {
            const int blockX = band.left + (x - band.left) / 3 * 3, blockY = band.top + (y - band.top) / 3 * 3;
            ASSERT_EQ(first[y * Xvfb::Width + x], first[blockY * Xvfb::Width + blockX]) << x << ", " << y;
        }
    EXPECT_NE(first, second);

    PressEscape();
    EXPECT_EQ(WaitExit(pid, 1000 * Slowdown), 0) << folder.Read("output.txt");
}

TEST_F(Show, AWindowCloseRequestEndsItWithExitCode0) {
    Start();
    const Window window = AwaitScreen();
    ASSERT_NE(window, 0u);
    server->RequestClose(window);
    EXPECT_EQ(WaitExit(pid, 2000 * Slowdown), 0) << folder.Read("output.txt");
}

TEST_F(Show, TerminationEndsItWithExitCode0) {
    Start();
    ASSERT_NE(AwaitScreen(), 0u);
    kill(pid, SIGTERM);
    EXPECT_EQ(WaitExit(pid, 2000 * Slowdown), 0) << folder.Read("output.txt");
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST_F(Show, AFailedDisplaySetUpGivesExitCode1AndOneLineWithTheReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"SDL_VIDEODRIVER", "nonexistent"},  // SDL names the driver it cannot find
        {"DEMO_PIXEL_FORMAT", "RGB332"},
    };
    for (const auto& [variable, value] : cases) {
        Start({{variable, value}});
        EXPECT_EQ(WaitExit(pid, 10000), 1) << variable;
        const std::string output = folder.Read("output.txt");
        EXPECT_EQ(Count(output, "\n"), 1u) << output;
        EXPECT_EQ(Count(output, value), 1u) << output;
    }
}

// Whatever stands where a picture or the module should be, the show comes up,
// names it once and ends on Escape as usual.
TEST_F(Show, NamesAnyFileItCannotUseAndRunsOn) {
    enum Kind { Fifo, Folder, Huge };
    const struct {
        const char* name;
        Kind kind;
        const char* message;
    } cases[] = {
        {"05.raw", Fifo, "demo: cannot open picture 05.raw: not a regular file"},
        {"06.raw", Folder, "demo: cannot open picture 06.raw: not a regular file"},
        {"kimo.xm", Fifo, "demo: cannot open kimo.xm: not a regular file"},
        {"kimo.xm", Folder, "demo: cannot open kimo.xm: not a regular file"},
        {"kimo.xm", Huge, "demo: kimo.xm is 2147483648 bytes; modules above 67108864 bytes are not played"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.Path(c.name);
        std::filesystem::remove(path);
        if (c.kind == Fifo) {
            ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
        }
        if (c.kind == Folder) {
            ASSERT_TRUE(std::filesystem::create_directory(path));
        }
        if (c.kind == Huge) {
            folder.Write(c.name, TestModule());
            std::filesystem::resize_file(path, uintmax_t{2} << 30);  // sparse: no disk used
        }
        Start();
        ASSERT_NE(AwaitScreen(), 0u) << c.name;
        PressEscape();
        EXPECT_EQ(WaitExit(pid, 1000 * Slowdown), 0) << c.name;
        EXPECT_EQ(Count(folder.Read("output.txt"), c.message), 1u) << folder.Read("output.txt");
        std::filesystem::remove(path);
    }
}

// The 16-bit samples of a WAV file's "data" chunk.
std::vector<int16_t> WavSamples(const std::string& wav) {
    for (size_t at = 12; at + 8 <= wav.size();) {
        uint32_t size = 0;
        std::memcpy(&size, &wav[at + 4], 4);
        if (wav.compare(at, 4, "data") == 0) {
            std::vector<int16_t> samples(std::min<size_t>(size, wav.size() - at - 8) / 2);
            std::memcpy(samples.data(), &wav[at + 8], samples.size() * 2);
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

size_t FirstSoundingFrame(const std::vector<int16_t>& samples) {
    size_t frame = 0;
    while (frame * 2 + 1 < samples.size() && samples[frame * 2] == 0 && samples[frame * 2 + 1] == 0) ++frame;
    return frame;
}

TEST_F(Show, PlaysTheModuleAsTheModuleLibraryRendersIt) {
    if (!HaveProgram("openmpt123")) GTEST_SKIP() << "openmpt123 is not installed";
    folder.Write("kimo.xm", TestModule());
    folder.Write("reference.mod", TestModule());
    ASSERT_EQ(std::system(("cd " + folder.Path() +
                           " && openmpt123 --quiet --render --samplerate 44100 --no-float --dither 0 --force "
                           "reference.mod >/dev/null 2>&1")
                              .c_str()),
              0);
    const std::vector<int16_t> reference = WavSamples(folder.Read("reference.mod.wav"));
    ASSERT_GT(reference.size(), 2u * 44100);

    // The stream starts with silence until the module plays; from its first
    // sound on it is the module library's own rendering, sample for sample.
    const std::vector<int16_t> played = CaptureSound(2500);
    const size_t start = FirstSoundingFrame(played), referenceStart = FirstSoundingFrame(reference);
    ASSERT_LT(start * 2, played.size()) << "nothing was heard";
    const size_t frames = std::min(played.size() / 2 - start, reference.size() / 2 - referenceStart);
    EXPECT_GT(frames, 44100u) << "less than a second was heard";
    for (size_t frame = 0; frame < frames; ++frame)
        ASSERT_TRUE(played[(start + frame) * 2] == reference[(referenceStart + frame) * 2] &&
                    played[(start + frame) * 2 + 1] == reference[(referenceStart + frame) * 2 + 1])
            << "frame " << frame << " of " << frames;
}

TEST_F(Show, WithoutTheModuleItRunsSilently) {
    const std::vector<int16_t> played = CaptureSound(1000);
    EXPECT_GT(played.size(), 2u * 44100 / 2);
    EXPECT_EQ(std::count(played.begin(), played.end(), 0), static_cast<long>(played.size()));
}

// As a screensaver the show draws in a window another program made (here
// 700 x 400, white, so that the show's own black shows), at the largest whole
// scale that fits it, or on the root window; it makes no window of its own,
// and SIGTERM, the screensaver's way to end it, ends it with exit code 0.
TEST_F(Show, DrawsInAGivenWindowOrTheRootWindowAsAScreensaver) {
    Display* x = server->x;
    const Window given = XCreateSimpleWindow(x, DefaultRootWindow(x), 100, 50, 700, 400, 0, 0, 0xFFFFFF);
    XMapWindow(x, given);
    XSync(x, False);
    struct Case {
        std::string id;
        Window window;
        int width, height;
        Extent band;
    };
    const Case cases[] = {
        {std::to_string(given), given, 700, 400, {24, 24 + 352 - 1, 30, 30 + 640 - 1}},  // 2 times
        {"root", DefaultRootWindow(x), Xvfb::Width, Xvfb::Height, {120, 120 + 528 - 1, 32, 32 + 960 - 1}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.id);
        Start({{"DEMO_WINDOW_ID", test.id}});
        Extent band;
        std::vector<uint32_t> shown;
        for (int tries = 0; tries < 500 && band.right != test.band.right; ++tries, Pause(20)) {
            shown.clear();
            XImage* image = XGetImage(x, test.window, 0, 0, test.width, test.height, AllPlanes, ZPixmap);
            if (!image) continue;
            for (int y = 0; y < test.height; ++y)
                for (int column = 0; column < test.width; ++column)
                    shown.push_back(static_cast<uint32_t>(XGetPixel(image, column, y)) & 0xFFFFFF);
            XDestroyImage(image);
            // Black around the band, no white left of the window's own.
            if (std::count(shown.begin(), shown.end(), 0xFFFFFFu) == 0) band = PictureExtent(shown, test.width);
        }
        EXPECT_EQ(band.top, test.band.top);
        EXPECT_EQ(band.bottom, test.band.bottom);
        EXPECT_EQ(band.left, test.band.left);
        EXPECT_EQ(band.right, test.band.right);
        EXPECT_EQ(server->FindWindow("test"), 0u) << "the show made a window of its own";
        kill(pid, SIGTERM);
        EXPECT_EQ(WaitExit(pid, 2000 * Slowdown), 0) << folder.Read("output.txt");
        XUnmapWindow(x, given);  // the root window shows through it otherwise
        XSync(x, False);
    }
    // The screensaver may take its window away before ending the show, which
    // then ends too, rather than hang on the window's loss.
    const Window taken = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 400, 300, 0, 0, 0xFFFFFF);
    XMapWindow(x, taken);
    XSync(x, False);
    Start({{"DEMO_WINDOW_ID", std::to_string(taken)}});
    for (int tries = 0; tries < 500 && server->Pixel(200, 150) == 0xFFFFFF; ++tries) Pause(20);
    ASSERT_NE(server->Pixel(200, 150), 0xFFFFFFu) << "the show did not draw: " << folder.Read("output.txt");
    XDestroyWindow(x, taken);
    XSync(x, False);
    EXPECT_EQ(WaitExit(pid, 2000 * Slowdown), 0) << folder.Read("output.txt");

    // A number that names no window is a display that cannot be set up.
    Start({{"DEMO_WINDOW_ID", "0x7ffffff"}});
    EXPECT_EQ(WaitExit(pid, 5000 * Slowdown), 1) << folder.Read("output.txt");
}

}  // namespace
