// Placeholder until the espeak-ng voice lands: the class is not yet available.
#include "Classes.h"

HRESULT CreateSpVoice(REFIID, void** object) {
    if (object) *object = nullptr;
    return REGDB_E_CLASSNOTREG;
}
