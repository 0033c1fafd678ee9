// Linux: the user's folder after the XDG rules, and the run folder of
// symbolic links the launcher starts the show in.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

#include "content_location/content_folder.h"
#include "content_location/content_system.h"
#include "platform/program_path.h"

namespace {

constexpr const char* Package = DEMO_PACKAGE;

std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : "";
}

}  // namespace

bool Exists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string OwnContentFolder() {
    std::string data = AbsoluteVariable("XDG_DATA_HOME");
    if (data.empty()) {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return "";
        data = std::string(home) + "/.local/share";
    }
    return data + "/" + Package;
}

std::string InstalledContentFolder(const char* fromProgram) {
    const std::string folder = PathFromProgram(fromProgram);
    if (folder.empty()) return "";
    char* resolved = realpath(folder.c_str(), nullptr);  // plainer to read where it exists
    if (!resolved) return folder;
    const std::string plain = resolved;
    std::free(resolved);
    return plain;
}

namespace {

// Opens `path` if no other account can change what it holds: with `own`, a
// folder of the user's with no access for others at all; else one of the
// user's or the system's, which others may write to only when it is sticky.
// -1, with `why` set, otherwise.
int OpenBase(const std::string& path, bool own, std::string& why) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || fstat(fd, &status) != 0) {
        why = std::strerror(errno);
        if (fd >= 0) close(fd);
        return -1;
    }
    const bool mine = status.st_uid == geteuid();
    const bool safe = own ? mine && (status.st_mode & 077) == 0
                          : (mine || status.st_uid == 0) &&
                                ((status.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (status.st_mode & S_ISVTX) != 0);
    if (safe) return fd;
    why = own ? "it is not the user's own with no access for others" : "other accounts may change what it holds";
    close(fd);
    return -1;
}

// Makes a new folder of a name no one can foresee in `base`, opens it without
// following a link and checks that what it opened is the folder it made.
int MakeFolderIn(int base, std::string& name, std::string& why) {
    static std::random_device random;
    constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = std::string(Package) + ".";
        for (int i = 0; i < 10; ++i) name += Letters[random() % (sizeof Letters - 1)];
        if (mkdirat(base, name.c_str(), 0700) != 0) {
            if (errno == EEXIST) continue;
            why = std::strerror(errno);
            return -1;
        }
        const int fd = openat(base, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat status {};
        if (fd >= 0 && fstat(fd, &status) == 0 && status.st_uid == geteuid() && (status.st_mode & 077) == 0)
            return fd;
        why = "it was changed by someone else while it was made";
        if (fd >= 0) close(fd);
        return -1;
    }
    why = "every name tried was taken";
    return -1;
}

// Runs `work` in the folder `enter` makes the working directory, and comes
// back; `where` names that folder in an error.
bool WorkThere(const std::function<bool()>& enter, const std::string& where, const std::function<void()>& work,
               std::string& error) {
    const int here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (here < 0 || !enter()) {
        error = "cannot enter " + (here < 0 ? std::string("the working directory") : where) + ": " + std::strerror(errno);
        if (here >= 0) close(here);
        return false;
    }
    work();
    const bool back = fchdir(here) == 0;
    if (!back) error = std::string("cannot return to the working directory: ") + std::strerror(errno);
    close(here);
    return back;
}

}  // namespace

bool RunFolder::Make(const std::vector<ContentFile>& files, std::string& error) {
    Remove();
    const std::pair<std::string, bool> bases[] = {
        {AbsoluteVariable("XDG_RUNTIME_DIR"), true}, {AbsoluteVariable("TMPDIR"), false}, {"/tmp", false}};
    for (const auto& [base, own] : bases) {
        if (base.empty()) continue;
        std::string why;
        base_ = OpenBase(base, own, why);
        if (base_ >= 0) folder_ = MakeFolderIn(base_, name_, why);
        if (folder_ >= 0) {
            path_ = base + "/" + name_;
            break;
        }
        error = "cannot make a folder in " + base + ": " + why;
        if (base_ >= 0) close(base_);
        base_ = -1;
    }
    if (folder_ < 0) return false;
    for (const ContentFile& file : files) {
        if (symlinkat(file.path.c_str(), folder_, file.name.c_str()) != 0) {
            error = "cannot link " + file.path + " in " + path_ + ": " + std::strerror(errno);
            Remove();
            return false;
        }
        links_.push_back(file.name);
    }
    return true;
}

bool RunFolder::Enter(std::string& error) const {
    if (fchdir(folder_) == 0) return true;
    error = "cannot enter " + path_ + ": " + std::strerror(errno);
    return false;
}

bool RunFolder::WorkIn(const std::function<void()>& work, std::string& error) const {
    return WorkThere([this] { return fchdir(folder_) == 0; }, path_, work, error);
}

void RunFolder::Remove() {
    if (folder_ < 0) return;
    struct stat status {};
    for (const std::string& link : links_)
        if (fstatat(folder_, link.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode))
            unlinkat(folder_, link.c_str(), 0);
    // Only the folder made, found under its name: a link or another folder put
    // there instead is left alone, and a folder that is not empty stays.
    struct stat made {};
    if (fstat(folder_, &made) == 0 && fstatat(base_, name_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        status.st_dev == made.st_dev && status.st_ino == made.st_ino)
        unlinkat(base_, name_.c_str(), AT_REMOVEDIR);
    close(folder_);
    close(base_);
    folder_ = base_ = -1;
    links_.clear();
    path_.clear();
}

bool WorkInFolder(const std::string& folder, const std::function<void()>& work, std::string& error) {
    return WorkThere([&folder] { return chdir(folder.c_str()) == 0; }, folder, work, error);
}
