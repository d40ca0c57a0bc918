// The engine's start-up: CoInitialize and CoCreateInstance. The first of them to be called
// has the voice and stream rooms register their classes in com/'s class table; it sits
// above the rooms because com/ must not name them. Referring to the rooms from here is
// also what keeps the linker from dropping them from the static library.
#include <mutex>

#include "engine/linux/com/ClassTable.h"
#include "engine/linux/com/Com.h"
#include "engine/linux/streams/SpStream.h"
#include "engine/linux/voice/SpVoice.h"

namespace {

void RegisterEngineClasses() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        RegisterVoiceClasses();
        RegisterStreamClasses();
    });
}

}  // namespace

HRESULT CoInitialize(LPVOID) {
    RegisterEngineClasses();
    return S_OK;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    RegisterEngineClasses();
    ClassMaker maker = FindCreatableClass(clsid);
    return maker != nullptr ? maker(iid, object) : REGDB_E_CLASSNOTREG;
}
