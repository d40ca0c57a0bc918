// Placeholder until the stream object lands: the class is not yet available.
#include "Classes.h"

HRESULT CreateSpStream(REFIID, void** object) {
    if (object) *object = nullptr;
    return REGDB_E_CLASSNOTREG;
}
