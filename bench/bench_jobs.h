#pragma once
// The jobs both sides of each benchmark pair run: the same pictures, the
// same zooms and angles, the same frame times.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "facts/picture.h"

// ImageBank filled with detailed pictures, the sine table built, the working
// pictures filled; the frame clock installed. Idempotent.
void PrepareBenchPictures();

struct RotozoomJob {
    float zoom, angle;
};
// The zoom and angle pairs of both of the show's rotozooms over a segment.
constexpr int RotozoomJobCount = 128;
extern RotozoomJob RotozoomJobs[RotozoomJobCount];

// Elapsed times spread over the whole cycle, one per frame.
constexpr int FrameTimeCount = 64;
uint32_t FrameTime(int64_t frame);

// Working pictures for the single-effect benchmarks.
extern Picture BenchSource, BenchDestination;

// Runs job(n) for n = 0, 1, 2, ... once per benchmark iteration.
template <class Job>
void RepeatJob(benchmark::State& state, Job job) {
    PrepareBenchPictures();
    int64_t n = 0;
    for (auto _ : state) {
        job(n++);
        benchmark::ClobberMemory();
    }
}
