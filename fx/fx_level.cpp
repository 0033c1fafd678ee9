#include "fx/fx_level.h"

#include <cstdlib>
#include <cstring>

#include "fx/fx_routines.h"

// Each level's source in fx/levels/ defines its routines.
extern const FxRoutines PortableRoutines;
#if DEMO_FX_X86 || DEMO_FX_WASM_SIMD
extern const FxRoutines Sse2Routines;
#endif
#if DEMO_FX_X86
extern const FxRoutines Avx2Routines;
#endif

namespace {

bool Everywhere() { return true; }

#if DEMO_FX_X86
// Compiled without AVX2, so that it runs on any x86-64 processor.
bool ProcessorHasAvx2() {
    __builtin_cpu_init();  // may run before the library's own start-up code
    return __builtin_cpu_supports("avx2");
}
#endif

}  // namespace

const FxLevel FxLevels[] = {
    {"portable", Everywhere, &PortableRoutines},
#if DEMO_FX_X86 || DEMO_FX_WASM_SIMD
    {"sse2", Everywhere, &Sse2Routines},  // part of x86-64 itself, and of WebAssembly's SIMD
#endif
#if DEMO_FX_X86
    {"avx2", ProcessorHasAvx2, &Avx2Routines},
#endif
};
const int FxLevelCount = sizeof FxLevels / sizeof FxLevels[0];

// Constant-initialised, so it is valid even for effects used by other
// start-up code before the choice below has run.
const FxRoutines* ActiveFx = &PortableRoutines;

namespace {

const FxLevel* Active = &FxLevels[0];

bool PortableForced() {
    const char* value = std::getenv("DEMO_FX_PORTABLE");
    return value && *value && std::strcmp(value, "0") != 0;
}

// Runs before main: the fastest level this processor runs.
[[maybe_unused]] const bool StartUpChoice = [] {
    if (!PortableForced())
        for (int i = FxLevelCount - 1; i > 0; --i)
            if (UseFxLevel(FxLevels[i])) break;
    return true;
}();

}  // namespace

bool UseFxLevel(const FxLevel& level) {
    if (!level.supported()) return false;
    ActiveFx = level.routines;
    Active = &level;
    return true;
}

const FxLevel& ActiveFxLevel() { return *Active; }
