#pragma once
// com/: the piece of the platform's COM runtime the system calls, declared for Linux with
// the platform's names and layouts: the types and interfaces (ComTypes.h), every
// identifier (Identifiers.h), every result code with the errno mapping (Results.h), the
// class factory behind CoCreateInstance, the task allocator, the memory stream behind
// CreateStreamOnHGlobal, the one file function callers use (DeleteFileW), and the seams
// tests use (TestHooks.h). Of the rest of the engine it calls only what both platforms
// share (engine/ComObject.h, engine/CodePoints.h) and the two class makers declared
// below, which voice/ and streams/ define.
#include "ComTypes.h"
#include "Identifiers.h"
#include "Results.h"

HRESULT CoInitialize(LPVOID reserved);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, LPVOID* object);
LPVOID CoTaskMemAlloc(size_t size);
void CoTaskMemFree(LPVOID block);
HRESULT CreateStreamOnHGlobal(HGLOBAL global, BOOL deleteOnRelease, IStream** stream);
/// Removes the file the 16-bit name names; FALSE when it could not.
BOOL DeleteFileW(LPCWSTR fileName);

// The engine's creatable classes. Each makes a new object and hands out one reference to
// the interface asked for.
HRESULT CreateSpVoice(REFIID iid, void** object);   // CLSID_SpVoice, in voice/SpVoice.cpp
HRESULT CreateSpStream(REFIID iid, void** object);  // CLSID_SpStream, in streams/SpStream.cpp
