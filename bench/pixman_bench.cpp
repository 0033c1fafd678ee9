// The anchors: pixman doing the same jobs on the same 320 x 240 pictures, and
// memcpy as the floor for the copy.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>

#include "assets/image_bank.h"
#include "bench/bench_jobs.h"
#include "fx/fixed_point.h"
#include "fx/rotozoom.h"
#include "show/render_frame.h"

namespace {

pixman_image_t* WrapPicture(Picture& picture, pixman_format_code_t format) {
    return pixman_image_create_bits(format, PictureWidth, PictureHeight, picture.Pixels, PictureWidth * 4);
}

// Picture as a source of OVER: x8r8g8b8 ignores the spare byte, so it is opaque.
pixman_image_t* Opaque(Picture& picture) { return WrapPicture(picture, PIXMAN_x8r8g8b8); }
pixman_image_t* Target(Picture& picture) { return WrapPicture(picture, PIXMAN_a8r8g8b8); }

// Solid masks for every alpha, made once.
pixman_image_t* SolidMask(int alpha) {
    static pixman_image_t* masks[256];
    if (!masks[alpha]) {
        const pixman_color_t color = {0, 0, 0, static_cast<uint16_t>(alpha * 257)};
        masks[alpha] = pixman_image_create_solid_fill(&color);
    }
    return masks[alpha];
}

// Rotation by `angle` and magnification by `zoom` about the centre,
// bilinear filtered: the destination pixel (x, y) samples the source at
// (160, 120) + R * (x - 160, y - 120), with pixman's half-pixel centres.
void SetTurn(pixman_image_t* source, float zoom, float angle) {
    const RotozoomSteps s = ComputeRotozoomSteps(zoom, angle);
    const double x = CentreX + 0.5, y = CentreY + 0.5;
    pixman_transform_t m = {{{s.kc, -s.ks, static_cast<pixman_fixed_t>(x * FixedOne - (s.kc * x - s.ks * y))},
                             {s.ks, s.kc, static_cast<pixman_fixed_t>(y * FixedOne - (s.ks * x + s.kc * y))},
                             {0, 0, pixman_fixed_1}}};
    pixman_image_set_transform(source, &m);
    pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
}

void Composite(pixman_op_t op, pixman_image_t* source, pixman_image_t* mask, pixman_image_t* destination) {
    pixman_image_composite32(op, source, mask, destination, 0, 0, 0, 0, 0, 0, PictureWidth, PictureHeight);
}

void BM_PixmanAffine(benchmark::State& state) {
    PrepareBenchPictures();
    pixman_image_t* source = Target(BenchSource);
    pixman_image_t* destination = Target(BenchDestination);
    RepeatJob(state, [&](int64_t n) {
        const RotozoomJob& job = RotozoomJobs[n % RotozoomJobCount];
        SetTurn(source, job.zoom, job.angle);
        Composite(PIXMAN_OP_SRC, source, nullptr, destination);
    });
    pixman_image_unref(source);
    pixman_image_unref(destination);
}
BENCHMARK(BM_PixmanAffine);

void BM_PixmanOver(benchmark::State& state) {
    PrepareBenchPictures();
    pixman_image_t* source = Opaque(BenchSource);
    pixman_image_t* destination = Target(BenchDestination);
    RepeatJob(state, [&](int64_t) { Composite(PIXMAN_OP_OVER, source, SolidMask(SharpMixWeight), destination); });
    pixman_image_unref(source);
    pixman_image_unref(destination);
}
BENCHMARK(BM_PixmanOver);

void BM_Memcpy(benchmark::State& state) {
    RepeatJob(state, [](int64_t) { std::memcpy(BenchDestination.Pixels, BenchSource.Pixels, PictureBytes); });
}
BENCHMARK(BM_Memcpy);

// pixman's share of a frame, in the frame's order and at the same times as
// BM_RenderFrame: the two turns, the cross-fade, the copy, the plasma's and
// the sharp picture's blends (no plasma, no blur).
void BM_PixmanFrameShare(benchmark::State& state) {
    PrepareBenchPictures();
    static Picture mix, aux, output;
    pixman_image_t* bank[ImageCount];
    for (int i = 0; i < ImageCount; ++i) bank[i] = Target(ImageBank[i]);
    pixman_image_t *mixTarget = Target(mix), *auxTarget = Target(aux), *outputTarget = Target(output);
    pixman_image_t *mixSource = Opaque(mix), *auxSource = Opaque(aux);
    RepeatJob(state, [&](int64_t n) {
        const FrameTimeline t = ComputeTimeline(FrameTime(n));
        SetTurn(bank[t.slot], t.zoom, t.angle);
        Composite(PIXMAN_OP_SRC, bank[t.slot], nullptr, mixTarget);
        SetTurn(bank[t.next], t.nextZoom, t.nextAngle);
        Composite(PIXMAN_OP_SRC, bank[t.next], nullptr, auxTarget);
        Composite(PIXMAN_OP_OVER, auxSource, SolidMask(t.alpha), mixTarget);
        Composite(PIXMAN_OP_SRC, mixTarget, nullptr, outputTarget);
        Composite(PIXMAN_OP_OVER, auxSource, SolidMask(PlasmaMixWeight), outputTarget);
        Composite(PIXMAN_OP_OVER, mixSource, SolidMask(SharpMixWeight), outputTarget);
    });
    for (pixman_image_t* image : bank) {
        pixman_image_set_transform(image, nullptr);
        pixman_image_unref(image);
    }
    for (pixman_image_t* image : {mixTarget, auxTarget, outputTarget, mixSource, auxSource})
        pixman_image_unref(image);
}
BENCHMARK(BM_PixmanFrameShare);

}  // namespace
