// A running chain allocates nothing per frame. The global allocation functions are
// replaced for this whole test binary, but they only count while a window is open, so
// the other tests see the ordinary heap.
#include <gtest/gtest.h>

// GCC takes the free() in the replaced delete for a mismatch with the new it inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <atomic>
#include <cstdlib>
#include <new>
#include <memory>
#include <vector>

#include "effects/vector_isa.h"
#include "core/mmx.h"
#include "engine/effect_chain.h"
#include "tests/effects/effect_test_frame.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

void* Allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

// Every type once, on both paths, on one thread and with workers; the first frames (and a
// change of frame size) may allocate, the frames after them may not, on any thread.
TEST(NoAllocation, TheNineEffectChainAllocatesNothingPerFrame) {
    const int32_t savedMmx = mmxAvailable;
    for (int threads : {1, 3})
        for (int32_t packed : {0, 1}) {
            mmxAvailable = packed;
            auto chain = std::make_unique<EffectChain>();
            chain->SetThreads(threads);
            for (int32_t type = 0; type < 9; ++type) ASSERT_GE(chain->AppendEffect(type), 0);
            constexpr int32_t kWidth = 320, kHeight = 240;
            std::vector<uint32_t> frame(size_t(kWidth) * kHeight, 0);
            SampleScene scene(5);
            std::vector<std::vector<uint8_t>> snapshots;
            for (int i = 0; i < 8; ++i) snapshots.push_back(scene.snapshot());
            for (int f = 0; f < 3; ++f) chain->RenderChain(snapshots[f].data(), frame.data(), kWidth, kHeight, f == 0);
            allocations = 0;
            counting = true;
            ::operator delete(::operator new(4));  // the count itself works
            ASSERT_EQ(allocations.exchange(0), 1);
            for (int f = 0; f < 40; ++f)
                chain->RenderChain(snapshots[f % 8].data(), frame.data(), kWidth, kHeight, f % 5 == 0);
            counting = false;
            EXPECT_EQ(allocations.load(), 0) << (packed ? "packed" : "plain") << " on " << threads << " threads";
        }
    mmxAvailable = savedMmx;
}

}  // namespace
