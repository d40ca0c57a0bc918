#include "ClassOverride.h"

#ifndef _WIN32
#include "engine/linux/com/TestHooks.h"

ClassOverride::ClassOverride(REFCLSID id, Factory factory) : clsid(id) {
    engine_test::OverrideClass(clsid, std::move(factory));
}

ClassOverride::~ClassOverride() { engine_test::OverrideClass(clsid, nullptr); }
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
