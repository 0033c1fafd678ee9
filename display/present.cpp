#include "display/present.h"

#include "display/display.h"
#include "platform/process.h"

int PresentFrame(const Picture& picture) {
    MSG message;
    while (PeekMessageA(&message, MainWindow, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    if (!AppActive) {
        Sleep(1);  // keeps an inactive show from spinning
        return 1;
    }

    PrimarySurface->Restore();  // brings a lost surface back
    DDSURFACEDESC surface = {};
    surface.dwSize = sizeof surface;
    if (FAILED(BackBuffer->Lock(nullptr, &surface, DDLOCK_WAIT, nullptr))) return 0;
    uint8_t* rows = static_cast<uint8_t*>(surface.lpSurface);
    for (int row = 0; row < ModeHeight; ++row)
        Converter(picture.Pixels + row * ModeWidth, rows + row * surface.lPitch, ModeWidth);
    BackBuffer->Unlock(surface.lpSurface);
    PrimarySurface->Flip(nullptr, DDFLIP_WAIT);
    Sleep(0);
    return 1;
}
