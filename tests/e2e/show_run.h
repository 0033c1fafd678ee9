#pragma once
// Runs the real show on a private Xvfb server and looks at the screen
// through Xlib.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

inline bool HaveProgram(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

inline void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Starts `argv` with `environment` added, in `directory`, output to `log`.
inline pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& environment,
                   const std::string& directory, const std::string& log, int keepFd = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // nothing outlives a test that dies
    for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
    if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(126);
    if (FILE* out = std::fopen(log.c_str(), "w")) {
        dup2(fileno(out), 1);
        dup2(fileno(out), 2);
    }
    for (int fd = 3; fd < 256; ++fd)
        if (fd != keepFd) close(fd);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// The exit code once the process has ended within `milliseconds`; -1 if it
// is still running, -2 if a signal ended it.
inline int WaitExit(pid_t pid, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        Pause(10);
    } while (std::chrono::steady_clock::now() < deadline);
    return -1;
}

// An Xvfb server, 1024 x 768 unless told, on a display number it picks
// itself, without key auto-repeat: a key held down is pressed once.
class Xvfb {
public:
    explicit Xvfb(int width = Width, int height = Height) : width(width), height(height) {
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        int fds[2];
        if (pipe(fds) != 0) return;
        pid = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-r"},
                    {}, "", "/dev/null", fds[1]);
        close(fds[1]);
        // The server writes its number and a newline once it is ready, and
        // gives up if the pipe closes before it has written both.
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (!number.empty()) name = ":" + number;
        if (!name.empty()) x = XOpenDisplay(name.c_str());
        // The show's windows may go away while the test looks at them; Xlib
        // would end the test on the error.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~Xvfb() {
        if (x) XCloseDisplay(x);
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    // The viewable top-level window of that title, or 0.
    Window FindWindow(const char* title) const {
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) return 0;
        for (unsigned i = 0; i < count && !found; ++i) {
            char* windowName = nullptr;
            XWindowAttributes attributes;
            if (XFetchName(x, children[i], &windowName) && windowName && std::strcmp(windowName, title) == 0 &&
                XGetWindowAttributes(x, children[i], &attributes) && attributes.map_state == IsViewable)
                found = children[i];
            if (windowName) XFree(windowName);
        }
        if (children) XFree(children);
        return found;
    }

    // The whole screen as 0xRRGGBB words, row by row.
    std::vector<uint32_t> Screenshot() const {
        std::vector<uint32_t> pixels;
        XImage* image = XGetImage(x, DefaultRootWindow(x), 0, 0, width, height, AllPlanes, ZPixmap);
        if (!image) return pixels;
        for (int y = 0; y < height; ++y)
            for (int xx = 0; xx < width; ++xx) pixels.push_back(static_cast<uint32_t>(XGetPixel(image, xx, y)) & 0xFFFFFF);
        XDestroyImage(image);
        return pixels;
    }

    uint32_t Pixel(int x, int y) const {
        XImage* image = XGetImage(this->x, DefaultRootWindow(this->x), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0;
        const uint32_t pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
        XDestroyImage(image);
        return pixel;
    }

    // What a window manager sends when the user closes a window.
    void RequestClose(Window window) const {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(x, window, False, NoEventMask, &event);
        XFlush(x);
    }

    static constexpr int Width = 1024;  // the usual screen
    static constexpr int Height = 768;
    int width, height;  // this one's
    pid_t pid = -1;
    std::string name;
    Display* x = nullptr;
};
