// The task allocator: blocks handed between the engine and its callers (format blocks),
// with the counting and the failures tests ask for.
#include <atomic>
#include <cstdlib>

#include "Com.h"
#include "TestHooks.h"

namespace {

std::atomic<int> failingAllocations{0};
std::atomic<int> liveBlocks{0};

}  // namespace

namespace engine_test {

void FailTaskMemAllocs(int count) { failingAllocations = count; }

int LiveTaskMemBlocks() { return liveBlocks.load(); }

}  // namespace engine_test

LPVOID CoTaskMemAlloc(size_t size) {
    int failing = failingAllocations.load();
    while (failing > 0) {
        if (failingAllocations.compare_exchange_weak(failing, failing - 1)) return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) ++liveBlocks;
    return block;
}

void CoTaskMemFree(LPVOID block) {
    if (block != nullptr) --liveBlocks;
    std::free(block);
}
