#include "bench/bench_jobs.h"

#include "assets/image_bank.h"
#include "authoring/xorshift.h"
#include "fx/plasma.h"
#include "show/render_frame.h"

RotozoomJob RotozoomJobs[RotozoomJobCount];
Picture BenchSource, BenchDestination;

void PrepareBenchPictures() {
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    uint32_t seed = 2463534242u;
    for (Picture& picture : ImageBank)
        for (uint32_t& word : picture.Pixels) word = Xorshift32(seed);
    for (uint32_t& word : BenchSource.Pixels) word = Xorshift32(seed);
    for (uint32_t& word : BenchDestination.Pixels) word = Xorshift32(seed);
    BuildSineTable();
    for (int i = 0; i < RotozoomJobCount / 2; ++i) {
        const FrameTimeline t = ComputeTimeline(i * (SegmentMilliseconds / (RotozoomJobCount / 2)));
        RotozoomJobs[2 * i] = {t.zoom, t.angle};
        RotozoomJobs[2 * i + 1] = {t.nextZoom, t.nextAngle};
    }
}

uint32_t FrameTime(int64_t frame) {
    return static_cast<uint32_t>(frame % FrameTimeCount) * (CycleMilliseconds / FrameTimeCount) + 17;
}
