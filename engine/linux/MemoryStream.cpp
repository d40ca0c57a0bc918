// Placeholder until the memory stream lands.
#include "ComTypes.h"

HRESULT CreateStreamOnHGlobal(HGLOBAL, BOOL, IStream** stream) {
    if (stream) *stream = nullptr;
    return E_NOTIMPL;
}
