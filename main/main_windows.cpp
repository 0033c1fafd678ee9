// The show on Windows: started by a double-click, from any folder. It plays
// the user's own files in %LOCALAPPDATA%\twenty-three-turns and the defaults
// bundled in the content folder beside it for the rest, writing nothing.

#include "content_location/content_folder.h"
#include "main/demo_main.h"
#include "platform/process.h"
#include "platform/windows/content_names.h"
#include "platform/windows/error_box.h"

int main() {
    ReportErrorsInABox();
    std::vector<std::pair<std::string, std::string>> files;
    for (ContentFile& file : ChooseContent(OwnContentFolder(), InstalledContentFolder("content")))
        files.emplace_back(std::move(file.name), std::move(file.path));
    ReadContentFrom(std::move(files));
    const int code = DemoMain();  // ends the process itself when the show ends well
    ShowKeptErrors();
    ExitProcess(code);
}
