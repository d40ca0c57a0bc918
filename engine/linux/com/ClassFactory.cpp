// CoCreateInstance: the engine's two classes, and the overrides tests put in their place.
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "Com.h"
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

}  // namespace

namespace engine_test {

void OverrideClass(REFCLSID clsid, ClassFactory factory) {
    std::lock_guard<std::mutex> lock(overridesLock);
    if (factory)
        Overrides()[clsid] = std::move(factory);
    else
        Overrides().erase(clsid);
}

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
