// The show on Windows: started by a double-click, from any folder. It plays
// the user's own files in %LOCALAPPDATA%\twenty-three-turns and the defaults
// bundled in the content folder beside it for the rest, writing nothing.
// Under a name ending in .scr it is the screensaver, silent unless the
// user's folder holds a file named screensaver-music.

#include "assets/image_bank.h"
#include "content_location/content_folder.h"
#include "content_location/content_system.h"
#include "facts/picture.h"
#include "main/demo_main.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/sdl/sdl_window.h"
#include "platform/windows/content_names.h"
#include "platform/windows/error_box.h"
#include "platform/windows/screensaver.h"
#include "show/render_frame.h"

int main(int argc, char** argv) {
    ReportErrorsInABox();
    const std::string own = OwnContentFolder();
    const std::string musicSwitch = own + "\\screensaver-music";
    uintptr_t previewWindow = 0;
    const SaverMode mode = SaverModeOf(argc, argv, previewWindow);
    if (mode == SaverMode::Settings) {
        ShowSaverSettings(musicSwitch);
        ExitProcess(0);
    }

    std::vector<std::pair<std::string, std::string>> files;
    for (ContentFile& file : ChooseContent(own, InstalledContentFolder("content")))
        files.emplace_back(std::move(file.name), std::move(file.path));
    ReadContentFrom(std::move(files));

    if (mode == SaverMode::Preview) {
        StartOffscreen();
        const uint32_t start = timeGetTime();
        if (OpenPreview(previewWindow))
            while (PreviewOpen()) {
                const uint32_t elapsed = timeGetTime() - start;
                ComposeFrame(elapsed, elapsed);
                DrawPreview(OutputBuffer.Pixels + BandTop * PictureWidth, PictureWidth, BandBottom - BandTop);
                Sleep(33);
            }
        ExitProcess(0);
    }
    if (mode == SaverMode::FullScreen) {
        EndOnAnyInput();
        if (!Exists(musicSwitch)) SilenceTheSaver();
    }
    const int code = DemoMain();  // ends the process itself when the show ends well
    ShowKeptErrors();
    ExitProcess(code);
}
