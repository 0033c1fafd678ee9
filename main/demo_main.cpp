#include "main/demo_main.h"

#include "assets/image_bank.h"
#include "display/display.h"
#include "display/present.h"
#include "facts/content.h"
#include "facts/picture.h"
#include "fx/plasma.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "platform/process.h"
#include "platform/window.h"
#include "show/render_frame.h"

int DemoMain() {
    LoadImages();
    BuildSineTable();
    if (!InitDisplay("test", PictureWidth, PictureHeight)) return 1;  // no music, nothing released

    StartTime = timeGetTime();
    // A missing module or sound device only leaves the show silent.
    BASSMOD_Init(-1, 44100, 0);
    BASSMOD_MusicStop();
    BASSMOD_MusicSetPositionScaler(1);
    BASSMOD_MusicFree();
    BASSMOD_MusicLoad(FALSE, ModuleFileName, 0, 0, 0);
    BASSMOD_MusicSetPosition(0);
    BASSMOD_MusicPlayEx(0, 0, TRUE);
    StartTime = timeGetTime();  // the pictures count from the music's start

    while (GetAsyncKeyState(VK_ESCAPE) == 0) {
        RenderFrame();
        PresentFrame(OutputBuffer);
    }

    BASSMOD_Free();
    ShutdownDisplay();
    ExitProcess(0);
}
