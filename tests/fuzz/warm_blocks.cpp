// The game target's large blocks, kept warm from one input to the next.
//
// Every input builds the window again, and the board's 700 x 700 background (1.9 MB) is the one
// block of a megabyte or more it asks for. The sanitizer's allocator maps such a block afresh
// each time and unmaps it after its quarantine, so every input touched new pages and their
// shadow for it: on this machine, with the fill that follows, about a quarter of an input's
// time. Here the global operator new and delete keep a few freed blocks of a megabyte or more
// and hand one out again for the next request of the same size.
//
// What the sanitizer still sees: a kept block is poisoned, so any use of it after its delete
// stops the run (as a use after poison); the redzones around it stay as they were; deleting a
// block that is already kept aborts as the double free it is. What it no longer sees in this
// target: whether memory from new is freed with free, or from malloc deleted (the game has no
// raw new or delete; the other targets and the sanitizer suite keep that check). Everything
// smaller than a megabyte goes straight to malloc and free. Only the libFuzzer build of the game
// target links this file; the replayed targets use the sanitizer's own operators.
#include <sanitizer/allocator_interface.h>
#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace {

constexpr size_t kWarmFrom = size_t(1) << 20;
constexpr int kKept = 4;

struct TKept {
    void* block;
    size_t size;
};

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}
TKept kept[kKept];
int keptCount = 0;

void* Allocate(size_t size) {
    if (size >= kWarmFrom) {
        std::lock_guard<std::mutex> hold(Lock());
        for (int i = 0; i < keptCount; ++i) {
            if (kept[i].size != size) continue;
            void* block = kept[i].block;
            kept[i] = kept[--keptCount];
            ASAN_UNPOISON_MEMORY_REGION(block, size);
            return block;
        }
    }
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    return block;
}

void Release(void* block) noexcept {
    if (!block) return;
    const size_t size = __sanitizer_get_allocated_size(block);
    if (size < kWarmFrom) {
        std::free(block);
        return;
    }
    std::lock_guard<std::mutex> hold(Lock());
    for (int i = 0; i < keptCount; ++i) {
        if (kept[i].block != block) continue;
        std::fprintf(stderr, "warm blocks: a block of %zu bytes at %p deleted twice\n", size,
                     block);
        std::abort();
    }
    // The oldest kept block makes room: the sizes asked for may change.
    if (keptCount == kKept) {
        ASAN_UNPOISON_MEMORY_REGION(kept[0].block, kept[0].size);
        std::free(kept[0].block);
        for (int i = 1; i < kKept; ++i) kept[i - 1] = kept[i];
        --keptCount;
    }
    ASAN_POISON_MEMORY_REGION(block, size);
    kept[keptCount++] = {block, size};
}

}  // namespace

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, size_t) noexcept {
    Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    Release(block);
}
