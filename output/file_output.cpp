#include "output/file_output.h"

#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "assets/picture_file.h"

namespace {

// The temporary files that exist now, kept where a signal handler can read
// them: a slot's name is complete before the slot is marked in use.
char TemporaryNames[OutputFiles::MaxPending][PATH_MAX];
volatile sig_atomic_t InUse[OutputFiles::MaxPending];

extern "C" void RemoveTemporaries(int signal) {
    for (int slot = 0; slot < OutputFiles::MaxPending; ++slot)
        if (InUse[slot]) unlink(TemporaryNames[slot]);
    raise(signal);  // the default action, restored on entry, ends the process as the signal meant
}

// Leaves a signal alone that the tool was started with ignoring.
void CatchStopSignals() {
    static bool caught = false;
    if (caught) return;
    caught = true;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) continue;
        action = {};
        action.sa_handler = RemoveTemporaries;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

std::string TemporaryName(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t cut = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, cut) + "." + path.substr(cut) + ".tmp" + std::to_string(getpid());
}

std::string CannotWrite(const std::string& path, int error) {
    return "cannot write " + path + ": " + std::strerror(error);
}

}  // namespace

OutputFiles::~OutputFiles() { Discard(); }

bool OutputFiles::Claim(const std::string& path, std::string& error) {
    const std::string temporary = TemporaryName(path);
    if (temporary.size() >= PATH_MAX) {
        error = CannotWrite(path, ENAMETOOLONG);
        return false;
    }
    for (int slot = 0; slot < MaxPending; ++slot) {
        if (InUse[slot]) continue;
        std::memcpy(TemporaryNames[slot], temporary.c_str(), temporary.size() + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        InUse[slot] = 1;
        CatchStopSignals();
        pending_.push_back({path, slot});
        return true;
    }
    error = "cannot write " + path + ": too many files at once";
    return false;
}

const char* OutputFiles::LastTemporary() const { return TemporaryNames[pending_.back().slot]; }

void OutputFiles::Discard() {
    for (const Pending& file : pending_) {
        unlink(TemporaryNames[file.slot]);
        InUse[file.slot] = 0;
    }
    pending_.clear();
}

bool OutputFiles::WriteLater(const std::string& path, std::string& temporary, std::string& error) {
    if (!Claim(path, error)) return false;
    temporary = LastTemporary();
    return true;
}

bool OutputFiles::Write(const std::string& path, const void* bytes, size_t size, std::string& error) {
    if (!Claim(path, error)) return false;
    std::FILE* file = std::fopen(LastTemporary(), "wb");
    if (!file) {
        error = CannotWrite(path, errno);
        return false;
    }
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) {
        error = CannotWrite(path, written ? errno : writeError);
        return false;
    }
    return true;
}

bool OutputFiles::WritePicture(const std::string& path, const Picture& picture, std::string& error) {
    static uint8_t bytes[PictureBytes];
    EncodePictureFile(picture, bytes);
    return Write(path, bytes, sizeof bytes, error);
}

bool OutputFiles::Commit(std::string& error) {
    for (const Pending& file : pending_) {
        struct stat info {};
        if (lstat(file.path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            error = CannotWrite(file.path, EISDIR);
            Discard();
            return false;
        }
    }
    for (size_t i = 0; i < pending_.size(); ++i) {
        const Pending& file = pending_[i];
        if (std::rename(TemporaryNames[file.slot], file.path.c_str()) != 0) {
            error = CannotWrite(file.path, errno);
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(i));
            Discard();
            return false;
        }
        InUse[file.slot] = 0;
    }
    pending_.clear();
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* bytes, size_t size, std::string& error) {
    OutputFiles file;
    return file.Write(path, bytes, size, error) && file.Commit(error);
}

bool WritePictureFile(const std::string& path, const Picture& picture, std::string& error) {
    OutputFiles file;
    return file.WritePicture(path, picture, error) && file.Commit(error);
}

bool WritePngAtomically(const std::string& path, const uint32_t* pixels, int width, int height, std::string& error) {
    OutputFiles file;
    return file.WritePng(path, pixels, width, height, error) && file.Commit(error);
}

bool EnsureDirectory(const std::string& path, std::string& error) {
    if (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
        error = path + " exists and is not a directory";
        return false;
    }
    error = "cannot create directory " + path + ": " + std::strerror(errno);
    return false;
}
