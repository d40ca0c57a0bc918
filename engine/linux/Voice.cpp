// CLSID_SpVoice: a voice that speaks with espeak-ng on the default audio output.
#include "Classes.h"
#include "EspeakSynthesizer.h"
#include "SpVoice.h"

HRESULT CreateSpVoice(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // Without its synthesizer the voice could never speak: refuse to make one.
    HRESULT hr = EspeakSynthesizer::Initialize();
    if (FAILED(hr)) return hr;
    return HandOut(SpVoice::Create(), iid, object);
}
