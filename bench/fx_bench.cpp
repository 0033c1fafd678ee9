// The show's effects, as the show calls them (at the level chosen at
// start-up), and the scalar references they replace.

#include <benchmark/benchmark.h>

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
    PrepareBenchPictures();
    for (auto _ : state) {
        Blend(BenchSource, BenchDestination, 80);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BlendBenchmark<BlendFrame>)->Name("BM_BlendFrame");
BENCHMARK(BlendBenchmark<BlendFrameScalar>)->Name("BM_BlendFrameScalar");

void BM_CopyFrame(benchmark::State& state) {
    PrepareBenchPictures();
    for (auto _ : state) {
        CopyFrame(BenchSource, BenchDestination);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyFrame);

template <void (*Turn)(const Picture&, Picture&, float, float)>
void RotozoomBenchmark(benchmark::State& state) {
    PrepareBenchPictures();
    int job = 0;
    for (auto _ : state) {
        const RotozoomJob& j = RotozoomJobs[job++ % RotozoomJobCount];
        Turn(BenchSource, BenchDestination, j.zoom, j.angle);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RotozoomBenchmark<Rotozoom>)->Name("BM_Rotozoom");
BENCHMARK(RotozoomBenchmark<RotozoomScalar>)->Name("BM_RotozoomScalar");

template <void (*Draw)(Picture&, uint32_t)>
void PlasmaBenchmark(benchmark::State& state) {
    PrepareBenchPictures();
    uint32_t phase = 0;
    for (auto _ : state) {
        Draw(BenchDestination, phase++);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(PlasmaBenchmark<DrawPlasma>)->Name("BM_DrawPlasma");
BENCHMARK(PlasmaBenchmark<DrawPlasmaScalar>)->Name("BM_DrawPlasmaScalar");

// Factors over the show's whole swing; the picture keeps being blurred, which
// costs the same as a fresh one.
template <void (*Blur)(Picture&, float)>
void RadialBlurBenchmark(benchmark::State& state) {
    PrepareBenchPictures();
    uint32_t elapsed = 0;
    for (auto _ : state) {
        Blur(BenchDestination, BlurFactor(elapsed += 7));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RadialBlurBenchmark<RadialBlur>)->Name("BM_RadialBlur");
BENCHMARK(RadialBlurBenchmark<RadialBlurScalar>)->Name("BM_RadialBlurScalar");

// The whole frame at times spread over the cycle, at the level chosen at
// start-up, and with the portable level for scale.
void BM_RenderFrame(benchmark::State& state) {
    PrepareBenchPictures();
    int64_t frame = 0;
    for (auto _ : state) {
        SetBenchClock(FrameTime(frame++));
        RenderFrame();
        benchmark::ClobberMemory();
    }
    state.SetLabel(FxLevelName(ActiveFxLevel()));
}
BENCHMARK(BM_RenderFrame);

void BM_RenderFramePortable(benchmark::State& state) {
    const FxLevel startUp = ActiveFxLevel();
    UseFxLevel(FxLevel::Portable);
    BM_RenderFrame(state);
    UseFxLevel(startUp);
}
BENCHMARK(BM_RenderFramePortable);

}  // namespace
