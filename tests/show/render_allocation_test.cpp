// Counts heap allocations across many frames. This binary replaces the global
// operator new, and its link wraps malloc, calloc and realloc, so that every
// allocation made by the show's code is seen; under AddressSanitizer, which
// owns the allocator, the sanitizer's allocation hook counts instead.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <span>

#include "assets/image_bank.h"
#include "fx/fx_level.h"
#include "fx/plasma.h"
#include "show/render_frame.h"

namespace {

std::atomic<long> Allocations{0};

}  // namespace

#if defined(DEMO_SANITIZED)

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*));
namespace {
void CountAllocation(const volatile void*, std::size_t) { ++Allocations; }
void IgnoreFree(const volatile void*) {}  // the sanitizer takes both hooks or none
[[maybe_unused]] const int Hooked = __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree);
}  // namespace

#else

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* pointer, std::size_t size);

void* __wrap_malloc(std::size_t size) {
    ++Allocations;
    return __real_malloc(size);
}
void* __wrap_calloc(std::size_t count, std::size_t size) {
    ++Allocations;
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* pointer, std::size_t size) {
    ++Allocations;
    return __real_realloc(pointer, size);
}
}

// The array and nothrow forms of the library call these two.
void* operator new(std::size_t size) {
    ++Allocations;
    if (void* pointer = __real_malloc(size ? size : 1)) return pointer;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    ++Allocations;
    const std::size_t a = static_cast<std::size_t>(alignment);
    if (void* pointer = std::aligned_alloc(a, (size + a - 1) / a * a)) return pointer;
    throw std::bad_alloc();
}

#endif

namespace {

class RenderFrameAllocations : public ::testing::Test {
protected:
    void SetUp() override {
        BuildSineTable();
        for (int slot = 0; slot < ImageCount; ++slot)
            for (int i = 0; i < PicturePixels; ++i) ImageBank[slot].Pixels[i] = i * 2654435761u + slot;
    }
};

TEST_F(RenderFrameAllocations, TheCountSeesBothKindsOfAllocation) {
    const long before = Allocations;
    int* volatile number = new int(7);  // volatile: kept from being optimised away
    delete number;
    void* (*volatile allocate)(std::size_t) = std::malloc;
    std::free(allocate(16));
    EXPECT_EQ(Allocations - before, 2);
}

TEST_F(RenderFrameAllocations, NoneAcrossManyFramesOnEveryLevel) {
    const FxLevel& startUp = ActiveFxLevel();
    for (const FxLevel& level : std::span(FxLevels, FxLevelCount)) {
        if (!UseFxLevel(level)) continue;
        ComposeFrame(0, 0);  // anything set up on first use is not per frame
        const long before = Allocations;
        for (uint32_t frame = 0; frame < 120; ++frame) {
            const uint32_t elapsed = frame * 3079;  // across segments, fades, phases and blur factors
            ComposeFrame(elapsed, elapsed);
        }
        EXPECT_EQ(Allocations - before, 0) << level.name;
    }
    UseFxLevel(startUp);
}

}  // namespace
