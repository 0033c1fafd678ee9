#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr const char* NotRegular = "not a regular file";

}  // namespace

std::FILE* OpenRegularFile(const char* name, uint64_t& size, const char*& problem) {
    // Looked at before opening: opening a device may already do something.
    struct stat info {};
    if (stat(name, &info) != 0) {
        problem = std::strerror(errno);
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = NotRegular;
        errno = 0;
        return nullptr;
    }
    // Non-blocking, and checked again once open: the name may have been
    // replaced by a FIFO in between.
    const int descriptor = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        problem = std::strerror(errno);
        return nullptr;
    }
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = NotRegular;
        close(descriptor);
        errno = 0;
        return nullptr;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(descriptor, "rb");
    if (!file) {
        problem = std::strerror(errno);
        close(descriptor);
        return nullptr;
    }
    size = static_cast<uint64_t>(info.st_size);
    return file;
}

bool SameFile(const char* a, const char* b) {
    struct stat first {}, second {};
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}
