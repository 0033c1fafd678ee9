#include "platform/window_classes.h"

ATOM WindowClasses::Register(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName) return 0;
    if (!procedures.emplace(windowClass->lpszClassName, windowClass->lpfnWndProc).second) return 0;
    return static_cast<ATOM>(procedures.size());
}

WNDPROC WindowClasses::ProcedureOf(const char* className) const {
    if (!className) return nullptr;
    const auto found = procedures.find(std::string_view(className));
    return found == procedures.end() ? nullptr : found->second;
}
