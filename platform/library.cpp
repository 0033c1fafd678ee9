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

ModuleObject Modules[] = {
    {"ddraw.dll", "DirectDrawCreate", reinterpret_cast<FARPROC>(DisplayDeviceCreate)},
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
