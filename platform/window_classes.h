#pragma once
// The window classes registered with a window system, kept alike by every
// window stand-in: a class is known by its name and gives its windows their
// procedure.

#include <map>
#include <string>
#include <string_view>

#include "platform/window.h"

class WindowClasses {
public:
    // RegisterClassA's rules: 0 when the class is already registered or has
    // no procedure or name.
    ATOM Register(const WNDCLASSA* windowClass);
    // Null when no class of that name is registered.
    WNDPROC ProcedureOf(const char* className) const;

private:
    std::map<std::string, WNDPROC, std::less<>> procedures;
};
