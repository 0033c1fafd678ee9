// The show's effects, as the show calls them (at the level chosen at
// start-up), and the scalar references they replace.

#include <benchmark/benchmark.h>

#include <cctype>
#include <span>
#include <string>

#include "bench/bench_jobs.h"
#include "fx/fx_level.h"
#include "fx/pixel.h"
#include "fx/plasma.h"
#include "fx/radial_blur.h"
#include "fx/rotozoom.h"
#include "show/render_frame.h"

namespace {

template <void (*Blend)(const Picture&, Picture&, int)>
void BlendBenchmark(benchmark::State& state) {
    RepeatJob(state, [](int64_t) { Blend(BenchSource, BenchDestination, SharpMixWeight); });
}
BENCHMARK(BlendBenchmark<BlendFrame>)->Name("BM_BlendFrame");
BENCHMARK(BlendBenchmark<BlendFrameScalar>)->Name("BM_BlendFrameScalar");

void BM_CopyFrame(benchmark::State& state) {
    RepeatJob(state, [](int64_t) { CopyFrame(BenchSource, BenchDestination); });
}
BENCHMARK(BM_CopyFrame);

template <void (*Turn)(const Picture&, Picture&, float, float)>
void RotozoomBenchmark(benchmark::State& state) {
    RepeatJob(state, [](int64_t n) {
        const RotozoomJob& job = RotozoomJobs[n % RotozoomJobCount];
        Turn(BenchSource, BenchDestination, job.zoom, job.angle);
    });
}
BENCHMARK(RotozoomBenchmark<Rotozoom>)->Name("BM_Rotozoom");
BENCHMARK(RotozoomBenchmark<RotozoomScalar>)->Name("BM_RotozoomScalar");

template <void (*Draw)(Picture&, uint32_t)>
void PlasmaBenchmark(benchmark::State& state) {
    RepeatJob(state, [](int64_t n) { Draw(BenchDestination, static_cast<uint32_t>(n)); });
}
BENCHMARK(PlasmaBenchmark<DrawPlasma>)->Name("BM_DrawPlasma");
BENCHMARK(PlasmaBenchmark<DrawPlasmaScalar>)->Name("BM_DrawPlasmaScalar");

// Factors over the show's whole swing; the picture keeps being blurred, which
// costs the same as a fresh one.
template <void (*Blur)(Picture&, float)>
void RadialBlurBenchmark(benchmark::State& state) {
    RepeatJob(state, [](int64_t n) { Blur(BenchDestination, BlurFactor(static_cast<uint32_t>(n * 7))); });
}
BENCHMARK(RadialBlurBenchmark<RadialBlur>)->Name("BM_RadialBlur");
BENCHMARK(RadialBlurBenchmark<RadialBlurScalar>)->Name("BM_RadialBlurScalar");

// The whole frame at times spread over the cycle, at the level chosen at
// start-up.
void BM_RenderFrame(benchmark::State& state) {
    RepeatJob(state, [](int64_t n) {
        const uint32_t elapsed = FrameTime(n);
        ComposeFrame(elapsed, elapsed);
    });
    state.SetLabel(ActiveFxLevel().name);
}
BENCHMARK(BM_RenderFrame);

// The same frames at each level of the build (BM_RenderFramePortable,
// BM_RenderFrameSse2, ...); skipped where the processor lacks the level.
void RenderFrameAtLevel(benchmark::State& state, const FxLevel* level) {
    const FxLevel& startUp = ActiveFxLevel();
    if (!UseFxLevel(*level)) {
        state.SkipWithError("this processor lacks the level");
        return;
    }
    BM_RenderFrame(state);
    UseFxLevel(startUp);
}
[[maybe_unused]] const bool LevelsRegistered = [] {
    for (const FxLevel& level : std::span(FxLevels, FxLevelCount)) {
        std::string name = level.name;
        name[0] = static_cast<char>(std::toupper(name[0]));
        benchmark::RegisterBenchmark(("BM_RenderFrame" + name).c_str(), RenderFrameAtLevel, &level);
    }
    return true;
}();

}  // namespace
