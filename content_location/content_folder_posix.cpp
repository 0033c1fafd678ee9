// Linux: the user's folder after the XDG rules, and the run folder of
// symbolic links the launcher starts the show in.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

bool MakeRunFolder(const std::vector<ContentFile>& files, std::string& folder, std::string& error) {
    // mkdtemp makes the folder new and private, also in a shared /tmp.
    std::string name;
    for (const std::string& base : {AbsoluteVariable("XDG_RUNTIME_DIR"), AbsoluteVariable("TMPDIR"), std::string("/tmp")}) {
        if (base.empty()) continue;
        name = base + "/" + Package + ".XXXXXX";
        if (mkdtemp(name.data())) break;
        error = "cannot make a folder in " + base + ": " + std::strerror(errno);
        name.clear();
    }
    if (name.empty()) return false;
    for (const ContentFile& file : files) {
        if (symlink(file.path.c_str(), (name + "/" + file.name).c_str()) != 0) {
            error = "cannot link " + file.path + " in " + name + ": " + std::strerror(errno);
            RemoveRunFolder(name);
            return false;
        }
    }
    folder = name;
    return true;
}

void RemoveRunFolder(const std::string& folder) {
    for (const std::string& name : ContentFileNames()) unlink((folder + "/" + name).c_str());
    rmdir(folder.c_str());
}

bool MakeDefaultRunFolder(const char* fromProgram, std::string& folder, std::string& error) {
    const std::string own = OwnContentFolder(), defaults = InstalledContentFolder(fromProgram);
    const std::vector<ContentFile> files = ChooseContent(own, defaults);
    return MakeRunFolder(files, folder, error);
}

bool WorkInFolder(const std::string& folder, const std::function<void()>& work, std::string& error) {
    const int here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (here < 0 || chdir(folder.c_str()) != 0) {
        error = "cannot enter " + (here < 0 ? std::string("the working directory") : folder) + ": " + std::strerror(errno);
        if (here >= 0) close(here);
        return false;
    }
    work();
    const bool back = fchdir(here) == 0;
    if (!back) error = std::string("cannot return to the working directory: ") + std::strerror(errno);
    close(here);
    return back;
}
