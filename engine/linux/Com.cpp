#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "Classes.h"
#include "ComTypes.h"
#include "TestHooks.h"

namespace {

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const {
        return std::tie(a.Data1, a.Data2, a.Data3) < std::tie(b.Data1, b.Data2, b.Data3) ||
               (std::tie(a.Data1, a.Data2, a.Data3) == std::tie(b.Data1, b.Data2, b.Data3) &&
                std::memcmp(a.Data4, b.Data4, sizeof a.Data4) < 0);
    }
};

std::mutex overridesLock;
std::map<GUID, engine_test::ClassFactory, GuidLess>& Overrides() {
    static std::map<GUID, engine_test::ClassFactory, GuidLess> overrides;
    return overrides;
}

std::atomic<int> failingAllocations{0};
std::atomic<int> liveBlocks{0};

}  // namespace

namespace engine_test {

void OverrideClass(REFCLSID clsid, ClassFactory factory) {
    std::lock_guard<std::mutex> lock(overridesLock);
    if (factory)
        Overrides()[clsid] = std::move(factory);
    else
        Overrides().erase(clsid);
}

void FailTaskMemAllocs(int count) { failingAllocations = count; }

int LiveTaskMemBlocks() { return liveBlocks.load(); }

}  // namespace engine_test

HRESULT CoInitialize(LPVOID) { return S_OK; }

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    {
        std::lock_guard<std::mutex> lock(overridesLock);
        auto found = Overrides().find(clsid);
        if (found != Overrides().end()) return found->second(iid, object);
    }
    if (clsid == CLSID_SpVoice) return CreateSpVoice(iid, object);
    if (clsid == CLSID_SpStream) return CreateSpStream(iid, object);
    return REGDB_E_CLASSNOTREG;
}

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
