#pragma once
// The effects come in several builds of the same integer arithmetic: a
// portable one and, on x86-64, one for SSE2 and one for AVX2. The best level
// the processor runs is chosen once at start-up; DEMO_FX_PORTABLE=1 in the
// environment forces the portable one. Every level gives exactly the words
// of the scalar reference routines (BlendFrameScalar, RotozoomScalar,
// DrawPlasmaScalar, RadialBlurScalar).

enum class FxLevel { Portable, Sse2, Avx2 };

bool FxLevelSupported(FxLevel level);

// Switches the effects to `level` if this processor runs it; returns whether
// it did. For tests and benchmarks; the show keeps the start-up choice.
bool UseFxLevel(FxLevel level);

FxLevel ActiveFxLevel();

const char* FxLevelName(FxLevel level);
