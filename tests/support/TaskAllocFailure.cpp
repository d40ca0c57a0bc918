#include "TaskAllocFailure.h"

#ifdef _WIN32
#include <atomic>

#include "engine/Engine.h"

namespace {

/// Watches the process's task allocator: fails the allocations it was told to fail and
/// keeps count of the blocks that are live. Registered once and never revoked; it lives
/// in static storage, so its reference count means nothing.
class FailingMallocSpy : public IMallocSpy {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IMallocSpy)) {
            *object = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // Asking for 0 bytes makes the allocator fail without allocating; PostAlloc then
    // hands back null whatever the allocator did.
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override {
        int failing = failingAllocations.load();
        failThisOne = false;
        while (failing > 0) {
            if (failingAllocations.compare_exchange_weak(failing, failing - 1)) {
                failThisOne = true;
                return 0;
            }
        }
        return request;
    }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        if (failThisOne) return nullptr;
        if (actual != nullptr) ++liveBlocks;
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL spied) override {
        if (request != nullptr && spied) --liveBlocks;
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

    std::atomic<int> failingAllocations{0};
    std::atomic<int> liveBlocks{0};

private:
    bool failThisOne = false;  // allocations are serialised by the allocator around the spy
};

FailingMallocSpy& Spy() {
    static FailingMallocSpy spy;
    static const HRESULT registered = CoRegisterMallocSpy(&spy);
    (void)registered;
    return spy;
}

}  // namespace

void FailNextTaskAllocations(int count) { Spy().failingAllocations = count; }

int LiveTaskAllocations() { return Spy().liveBlocks.load(); }

#else
#include <atomic>

#include "engine/Engine.h"

namespace {

std::atomic<int> failingAllocations{0};
std::atomic<int> liveBlocks{0};

}  // namespace

// Test programs are linked with --wrap for the task allocator (tests/CMakeLists.txt): the
// engine's own allocator stays a bare malloc and free.
extern "C" LPVOID __real_CoTaskMemAlloc(size_t size);
extern "C" void __real_CoTaskMemFree(LPVOID block);

extern "C" LPVOID __wrap_CoTaskMemAlloc(size_t size) {
    int failing = failingAllocations.load();
    while (failing > 0) {
        if (failingAllocations.compare_exchange_weak(failing, failing - 1)) return nullptr;
    }
    void* block = __real_CoTaskMemAlloc(size);
    if (block != nullptr) ++liveBlocks;
    return block;
}

extern "C" void __wrap_CoTaskMemFree(LPVOID block) {
    if (block != nullptr) --liveBlocks;
    __real_CoTaskMemFree(block);
}

void FailNextTaskAllocations(int count) { failingAllocations = count; }

int LiveTaskAllocations() { return liveBlocks.load(); }
#endif
