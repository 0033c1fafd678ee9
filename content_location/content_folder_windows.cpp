// Windows: the user's folder is under %LOCALAPPDATA%; the show is told where
// each file is rather than given a folder of links (platform/windows).

#include <direct.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "content_location/content_folder.h"
#include "content_location/content_system.h"
#include "platform/program_path.h"
#include "platform/windows/utf8.h"

namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesW(WideFromUtf8(path).c_str()); }

}  // namespace

bool Exists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string OwnContentFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (!local || !*local) return "";
    return Utf8FromWide(local) + "\\" DEMO_PACKAGE;
}

std::string InstalledContentFolder(const char* fromProgram) { return PathFromProgram(fromProgram); }

bool WorkInFolder(const std::string& folder, const std::function<void()>& work, std::string& error) {
    wchar_t* here = _wgetcwd(nullptr, 0);
    if (!here || _wchdir(WideFromUtf8(folder).c_str()) != 0) {
        error = "cannot enter " + (here ? folder : std::string("the working directory")) + ": " + std::strerror(errno);
        std::free(here);
        return false;
    }
    work();
    const bool back = _wchdir(here) == 0;
    if (!back) error = std::string("cannot return to the working directory: ") + std::strerror(errno);
    std::free(here);
    return back;
}
