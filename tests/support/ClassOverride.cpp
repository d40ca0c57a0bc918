#include "ClassOverride.h"

#ifndef _WIN32
#include <cstring>
#include <map>
#include <mutex>

namespace {

struct ClassIdLess {
    bool operator()(const CLSID& a, const CLSID& b) const { return std::memcmp(&a, &b, sizeof a) < 0; }
};

std::mutex overridesLock;
std::map<CLSID, ClassOverride::Factory, ClassIdLess>& Overrides() {
    static std::map<CLSID, ClassOverride::Factory, ClassIdLess> overrides;
    return overrides;
}

}  // namespace

// Test programs are linked with --wrap=CoCreateInstance (tests/CMakeLists.txt): every call
// comes here first, and only the engine's own classes cost the product nothing.
extern "C" HRESULT __real_CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                                           LPVOID* object);

extern "C" HRESULT __wrap_CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                                           LPVOID* object) {
    // The runtime's own refusals come first, as they would for a registered class.
    if (object != nullptr && outer == nullptr && (context & CLSCTX_INPROC_SERVER) != 0) {
        ClassOverride::Factory factory;
        {
            std::lock_guard<std::mutex> lock(overridesLock);
            auto found = Overrides().find(clsid);
            if (found != Overrides().end()) factory = found->second;
        }
        if (factory) {
            *object = nullptr;
            return factory(iid, object);
        }
    }
    return __real_CoCreateInstance(clsid, outer, context, iid, object);
}

ClassOverride::ClassOverride(REFCLSID id, Factory factory) : clsid(id) {
    std::lock_guard<std::mutex> lock(overridesLock);
    Overrides()[clsid] = std::move(factory);
}

ClassOverride::~ClassOverride() {
    std::lock_guard<std::mutex> lock(overridesLock);
    Overrides().erase(clsid);
}
#else
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "engine/ComObject.h"

ENGINE_INTERFACE_TRAITS(IClassFactory, IUnknown, IID_IClassFactory);

namespace {

/// A class object that makes each instance by calling the test's factory. COM finds a
/// class object registered in the process before it looks in the registry, so it takes
/// the place of the platform's class for as long as it stays registered.
class FactoryClassObject : public ComObject<IClassFactory> {
public:
    explicit FactoryClassObject(ClassOverride::Factory make) : make(std::move(make)) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return make(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    ClassOverride::Factory make;
};

}  // namespace

ClassOverride::ClassOverride(REFCLSID id, Factory factory) : clsid(id) {
    // Registering needs COM on this thread; the matching CoUninitialize is in the
    // destructor, so a test leaves COM as it found it.
    comStarted = SUCCEEDED(CoInitialize(nullptr));
    auto* classObject = new FactoryClassObject(std::move(factory));
    DWORD registration = 0;
    HRESULT hr = CoRegisterClassObject(clsid, classObject, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                       &registration);
    // COM keeps its own reference while the class object is registered.
    classObject->Release();
    if (FAILED(hr)) {
        // Without the override a test would silently run against the real engine.
        std::fprintf(stderr, "can not register the test class object, hr %lx\n", static_cast<unsigned long>(hr));
        std::abort();
    }
    cookie = registration;
}

ClassOverride::~ClassOverride() {
    CoRevokeClassObject(cookie);
    if (comStarted) CoUninitialize();
}
#endif
