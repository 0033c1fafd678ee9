#include "fx/fx_level.h"

#include <cstdlib>
#include <cstring>

#include "fx/fx_routines.h"

namespace {

constexpr FxRoutines LevelRoutines[] = {
    {BlendFramePortable, RotozoomSpanPortable, RadialBlurBandPortable},
#if DEMO_FX_X86
    {BlendFrameSse2, RotozoomSpanSse2, RadialBlurBandSse2},
    {BlendFrameAvx2, RotozoomSpanAvx2, RadialBlurBandAvx2},
#endif
};

FxLevel Active = FxLevel::Portable;

}  // namespace

// Constant-initialised, so it is valid even for effects used by other
// start-up code before the choice below has run.
FxRoutines ActiveFx = LevelRoutines[0];

namespace {

bool PortableForced() {
    const char* value = std::getenv("DEMO_FX_PORTABLE");
    return value && *value && std::strcmp(value, "0") != 0;
}

// Runs before main.
[[maybe_unused]] const bool StartUpChoice = [] {
    if (PortableForced()) return true;
    UseFxLevel(FxLevel::Avx2) || UseFxLevel(FxLevel::Sse2);
    return true;
}();

}  // namespace

bool FxLevelSupported(FxLevel level) {
    switch (level) {
        case FxLevel::Portable:
            return true;
#if DEMO_FX_X86
        case FxLevel::Sse2:
            return true;  // part of x86-64 itself
        case FxLevel::Avx2:
            __builtin_cpu_init();  // may run before the library's own start-up code
            return __builtin_cpu_supports("avx2");
#endif
        default:
            return false;
    }
}

bool UseFxLevel(FxLevel level) {
    if (!FxLevelSupported(level)) return false;
    ActiveFx = LevelRoutines[static_cast<int>(level)];
    Active = level;
    return true;
}

FxLevel ActiveFxLevel() { return Active; }

const char* FxLevelName(FxLevel level) {
    switch (level) {
        case FxLevel::Portable:
            return "portable";
        case FxLevel::Sse2:
            return "sse2";
        case FxLevel::Avx2:
            return "avx2";
    }
    return "unknown";
}
