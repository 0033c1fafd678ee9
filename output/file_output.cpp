#include "output/file_output.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>

#include "assets/picture_file.h"
#include "output/file_system.h"

namespace {

// The temporary files that exist now, kept where a signal handler can read
// them: a slot's name is complete before the slot is marked in use.
char TemporaryNames[OutputFiles::MaxPending][PATH_MAX];
volatile sig_atomic_t InUse[OutputFiles::MaxPending];

void RemoveTemporaries() {
    for (int slot = 0; slot < OutputFiles::MaxPending; ++slot)
        if (InUse[slot]) RemoveTemporary(TemporaryNames[slot]);
}

void CatchStopsOnce() {
    static bool caught = false;
    if (caught) return;
    caught = true;
    CatchStops(RemoveTemporaries);
}

// Holds the stops back while a temporary file comes into being, so that none
// ends the tool between the file's creation and its record.
class StopsHeld {
public:
    StopsHeld() { HoldStops(); }
    ~StopsHeld() { ReleaseStops(); }
    StopsHeld(const StopsHeld&) = delete;
    StopsHeld& operator=(const StopsHeld&) = delete;
};

constexpr char TemporaryPrefix[] = ".twenty-three-turns-";

std::string Folder(const std::string& path) {
    const size_t slash = path.find_last_of(PathSeparators);
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string CannotWrite(const std::string& path, int error) {
    return "cannot write " + path + ": " + std::strerror(error);
}

uint64_t SystemRandom() {
    static std::random_device device;
    return static_cast<uint64_t>(device()) << 32 | device();
}

// The pid in a temporary file's name; 0 when the name is not one.
long TemporaryOwner(const char* name) {
    const size_t prefix = sizeof TemporaryPrefix - 1;
    if (std::strncmp(name, TemporaryPrefix, prefix) != 0) return 0;
    char* end = nullptr;
    const long pid = std::strtol(name + prefix, &end, 10);
    return end != name + prefix && *end == '-' && pid > 0 ? pid : 0;
}

// Once per folder and run.
void RemoveStaleTemporaries(const std::string& folder) {
    static std::set<std::string> cleaned;
    if (cleaned.insert(folder).second) RemoveOrphanedTemporaries(folder, TemporaryOwner);
}

}  // namespace

uint64_t (*FreeBytes)(const std::string& path) = SystemFreeBytes;

bool WriteAll(int fd, const void* bytes, size_t size) {
    const char* next = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t written = write(fd, next, size);
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = ENOSPC;
        if (written <= 0) return false;
        next += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

std::string TemporaryName(const std::string& folder, long pid, uint64_t random) {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = folder + TemporaryPrefix + std::to_string(pid) + "-";
    for (int i = 0; i < 10; ++i, random /= 36) name += digits[random % 36];
    return name + ".tmp";
}

bool CanReplace(const std::string& path, std::string& error) {
    const FileKind kind = KindOf(path);
    if (kind == FileKind::Absent || kind == FileKind::Regular) return true;  // the writes will tell
    error = "cannot write " + path + (kind == FileKind::Folder ? ": it is a folder" : ": it is not a regular file");
    return false;
}

OutputFiles::OutputFiles(std::function<uint64_t()> random)
    : random_(random ? std::move(random) : SystemRandom) {}

OutputFiles::~OutputFiles() { Discard(); }

bool OutputFiles::Claim(const std::string& path, std::string& error) {
    const std::string folder = Folder(path);
    RemoveStaleTemporaries(folder);
    int slot = 0;
    while (slot < MaxPending && InUse[slot]) ++slot;
    if (slot == MaxPending) {
        error = "cannot write " + path + ": too many files at once";
        return false;
    }
    CatchStopsOnce();
    // Created anew, never opened through whatever may stand at the name.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const StopsHeld held;
        const std::string temporary = TemporaryName(folder, ThisProcess(), random_());
        if (temporary.size() >= PATH_MAX) {
            error = CannotWrite(path, ENAMETOOLONG);
            return false;
        }
        const int fd = CreateTemporary(temporary.c_str());
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            error = CannotWrite(path, errno);
            return false;
        }
        std::memcpy(TemporaryNames[slot], temporary.c_str(), temporary.size() + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        InUse[slot] = 1;
        pending_.push_back({path, slot, fd});
        return true;
    }
    error = CannotWrite(path, EEXIST);
    return false;
}

void OutputFiles::Discard() {
    for (const Pending& file : pending_) {
        if (file.fd >= 0) close(file.fd);
        RemoveTemporary(TemporaryNames[file.slot]);
        InUse[file.slot] = 0;
    }
    pending_.clear();
}

bool OutputFiles::WriteLater(const std::string& path, int& fd, std::string& temporary, std::string& error) {
    if (!Claim(path, error)) return false;
    fd = pending_.back().fd;
    temporary = TemporaryNames[pending_.back().slot];
    return true;
}

bool OutputFiles::Write(const std::string& path, const void* bytes, size_t size, std::string& error) {
    if (!Claim(path, error)) return false;
    if (!WriteAll(pending_.back().fd, bytes, size)) {
        error = CannotWrite(path, errno);
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
    for (Pending& file : pending_) {
        if (!CanReplace(file.path, error)) {
            Discard();
            return false;
        }
        const int fd = file.fd;
        file.fd = -1;
        if (!FlushAndClose(fd)) {
            error = CannotWrite(file.path, errno);
            Discard();
            return false;
        }
    }
    std::set<std::string> folders;
    for (size_t i = 0; i < pending_.size(); ++i) {
        const Pending& file = pending_[i];
        if (!MoveIntoPlace(TemporaryNames[file.slot], file.path.c_str())) {
            error = CannotWrite(file.path, errno);
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(i));
            Discard();
            return false;
        }
        InUse[file.slot] = 0;
        folders.insert(Folder(file.path));
    }
    pending_.clear();
    // The renames themselves on disk; a file system that cannot say is taken at its word.
    for (const std::string& folder : folders) FlushFolder(folder);
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
    if (MakeFolder(path) || errno == EEXIST) {
        if (KindOf(path) == FileKind::Folder) return true;
        error = path + " exists and is not a directory";
        return false;
    }
    error = "cannot create directory " + path + ": " + std::strerror(errno);
    return false;
}
