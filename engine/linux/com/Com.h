#pragma once
// com/: the piece of the platform's COM runtime the system calls, declared for Linux with
// the platform's names and layouts, and the objects it needs of its own: the class table
// behind CoCreateInstance, the task allocator, the memory stream. It calls nothing above
// it: the rooms that implement a class register it (ClassTable.h).
#include "ComTypes.h"
#include "Identifiers.h"
#include "Results.h"

// C linkage, as on the platform.
extern "C" {
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, LPVOID* object);
LPVOID CoTaskMemAlloc(size_t size);
void CoTaskMemFree(LPVOID block);
HRESULT CreateStreamOnHGlobal(HGLOBAL global, BOOL deleteOnRelease, IStream** stream);
/// Removes the file the 16-bit name names; FALSE when it could not.
BOOL DeleteFileW(LPCWSTR fileName);
}
