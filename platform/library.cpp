#include "platform/library.h"

#include <strings.h>

#include <cstring>

#include "platform/ddraw.h"

struct ModuleObject {
    const char* name;
    const char* exportName;
    FARPROC address;
};

namespace {

// The default display only, without an outer object.
HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** directDraw, void* outer) {
    if (!directDraw) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (driver || outer) return DDERR_INVALIDPARAMS;
    return OpenDisplayDevice(directDraw);
}

ModuleObject Modules[] = {
    {"ddraw.dll", "DirectDrawCreate", reinterpret_cast<FARPROC>(DirectDrawCreate)},
};

}  // namespace

HMODULE LoadLibraryA(const char* fileName) {
    for (ModuleObject& module : Modules)
        if (fileName && strcasecmp(fileName, module.name) == 0) return &module;
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
    return module && procName && strcmp(procName, module->exportName) == 0 ? module->address : nullptr;
}

BOOL FreeLibrary(HMODULE module) { return module ? TRUE : FALSE; }
