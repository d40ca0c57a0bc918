// CoInitialize and CoCreateInstance: the first of them to be called has the voice and
// stream rooms register their classes in com/'s class table. Referring to the rooms from
// here is also what keeps the linker from dropping them from the static library.
#include "EngineStartup.h"

#include <mutex>

#include "engine/linux/com/ClassTable.h"
#include "engine/linux/com/Com.h"
#include "engine/linux/engines/EspeakSynthesizer.h"
#include "engine/linux/engines/FliteSynthesizer.h"
#include "engine/linux/streams/SpStream.h"
#include "engine/linux/voice/SpVoice.h"

namespace {

/// The process's engines and what the voices share of them.
struct ProcessEngines {
    ProcessEngines() {
        flite.AddVoicesTo(parts.catalogue);
        espeak.AddVoicesTo(parts.catalogue);
        parts.engines.Add(SynthesisEngine::Flite, flite);
        parts.engines.Add(SynthesisEngine::Espeak, espeak);
    }

    FliteSynthesizer flite;
    EspeakSynthesizer espeak;
    VoiceParts parts;
};

HRESULT CreateVoice(REFIID iid, void** object) { return CreateSpVoice(ProcessVoiceParts(), iid, object); }

void RegisterEngineClasses() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        RegisterCreatableClass(CLSID_SpVoice, &CreateVoice);
        RegisterStreamClasses();
    });
}

}  // namespace

VoiceParts& ProcessVoiceParts() {
    // Never destroyed: a voice's worker may still speak while the process ends.
    static ProcessEngines* engines = new ProcessEngines();
    return engines->parts;
}

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
