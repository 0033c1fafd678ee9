#pragma once
// The effects come in several builds of the same integer arithmetic, called
// levels: a portable one and, on x86-64, one for SSE2 and one for AVX2. The
// fastest level the processor runs is chosen once at start-up;
// DEMO_FX_PORTABLE=1 in the environment forces the portable one. Every level
// gives exactly the words of the scalar reference routines (BlendFrameScalar,
// RotozoomScalar, DrawPlasmaScalar, RadialBlurScalar).
//
// A level for another instruction set is one source in fx/levels/ that
// defines its FxRoutines (fx/fx_routines.h; the radial blur takes a lane type,
// fx/levels/blur_fold.h), one row in the table in fx_level.cpp, and the
// source's line in fx/CMakeLists.txt.

struct FxRoutines;

struct FxLevel {
    const char* name;            // "portable", "sse2", "avx2"
    bool (*supported)();         // whether this processor runs it
    const FxRoutines* routines;  // its inner loops
};

// Every level of this build, the portable one first and the fastest last.
extern const FxLevel FxLevels[];
extern const int FxLevelCount;

// Switches the effects to `level` if this processor runs it; returns whether
// it did. For tests and benchmarks; the show keeps the start-up choice.
bool UseFxLevel(const FxLevel& level);

const FxLevel& ActiveFxLevel();
