// content-links: runs a program, the show, in a folder made for the run,
// holding links to the user's own content files and to the installed
// defaults for the rest, and removes that folder when the program ends.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "command_line/command_line.h"
#include "content_location/content_folder.h"

int main(int argc, char** argv) try {
    // From the start the stop signals, and the program's end, are taken in
    // turn rather than by a handler: whatever moment one comes at, the run
    // is ended and its folder removed. A stop signal ignored from the start
    // (as nohup leaves SIGHUP) stays ignored.
    sigset_t waited, before;
    sigemptyset(&waited);
    signal(SIGCHLD, SIG_DFL);  // ignored, it would neither come nor leave the exit code
    sigaddset(&waited, SIGCHLD);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction action {};
        if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler != SIG_IGN) sigaddset(&waited, signal);
    }
    sigprocmask(SIG_BLOCK, &waited, &before);

    CommandLine line({"content-links",
                      {"PROGRAM"},
                      "Runs PROGRAM in a new folder of links to the content the show plays, removes the folder when "
                      "it ends and exits as it did (128 + N after signal N). A stop signal is passed on as SIGTERM.",
                      {}});
    if (const auto finished = line.Parse(argc, argv)) return *finished;
    if (line.Operands().size() != 1) return line.Misused(line.Operands().empty() ? "no program given" : "more than one program");
    const std::string program = line.Operands().front();

    std::string error;
    RunFolder run;
    if (!run.Make(LauncherContent(PROGRAM_TO_CONTENT), error) || !run.Enter(error)) return line.Failed(error);
    sigset_t pending;
    sigpending(&pending);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        if (sigismember(&waited, signal) && sigismember(&pending, signal)) return 128 + signal;

    const pid_t child = fork();
    if (child < 0) return line.Failed(std::string("cannot start ") + program + ": " + std::strerror(errno));
    if (child == 0) {
        sigprocmask(SIG_SETMASK, &before, nullptr);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        std::fprintf(stderr, "content-links: cannot run %s: %s\n", program.c_str(), std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    for (;;) {
        const int signal = sigwaitinfo(&waited, nullptr);
        if (signal == SIGCHLD) {
            if (waitpid(child, &status, WNOHANG) == child) break;
        } else if (signal > 0) {
            kill(child, SIGTERM);
        }
    }
    run.Remove();
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
} catch (const std::bad_alloc&) {
    return OutOfMemory("content-links");
}
