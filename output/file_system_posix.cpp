#include "output/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

void (*RemoveOnStop)() = nullptr;

extern "C" void StopHandler(int signal) {
    RemoveOnStop();
    raise(signal);  // the default action, restored on entry, ends the process as the signal meant
}

sigset_t BeforeHold;

}  // namespace

const char PathSeparators[] = "/";

void CatchStops(void (*removeTemporaries)()) {
    RemoveOnStop = removeTemporaries;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) continue;
        action = {};
        action.sa_handler = StopHandler;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

void HoldStops() {
    sigset_t stop;
    sigemptyset(&stop);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stop, signal);
    pthread_sigmask(SIG_BLOCK, &stop, &BeforeHold);
}

void ReleaseStops() { pthread_sigmask(SIG_SETMASK, &BeforeHold, nullptr); }

int CreateTemporary(const char* path) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    // The lock tells other machines sharing the folder that the file is in use.
    if (fd >= 0) flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}

void RemoveTemporary(const char* path) { unlink(path); }

long ThisProcess() { return getpid(); }

// The owner holds a lock on its file, so a file of a live process elsewhere
// (a shared network folder) is left alone too.
void RemoveOrphanedTemporaries(const std::string& folder, long (*owner)(const char* name)) {
    DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
    if (!directory) return;
    while (const dirent* entry = readdir(directory)) {
        const long pid = owner(entry->d_name);
        if (pid == 0 || pid == getpid() || kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        const int fd = openat(dirfd(directory), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dirfd(directory), entry->d_name, 0);
        close(fd);
    }
    closedir(directory);
}

bool FlushAndClose(int fd) {
    const bool flushed = fsync(fd) == 0;
    const int flushError = errno;
    if (close(fd) != 0) return false;
    errno = flushError;
    return flushed;
}

bool MoveIntoPlace(const char* from, const char* to) { return std::rename(from, to) == 0; }

void FlushFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

FileKind KindOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return FileKind::Absent;
    return S_ISREG(info.st_mode) ? FileKind::Regular : S_ISDIR(info.st_mode) ? FileKind::Folder : FileKind::Other;
}

bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

uint64_t SystemFreeBytes(const std::string& path) {
    struct statvfs space {};
    if (statvfs(path.empty() ? "." : path.c_str(), &space) != 0) return UINT64_MAX;
    return static_cast<uint64_t>(space.f_bavail) * (space.f_frsize ? space.f_frsize : space.f_bsize);
}
