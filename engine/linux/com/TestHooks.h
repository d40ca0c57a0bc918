#pragma once
#include <functional>

#include "Com.h"

/// Seams for tests of code above the engine: a class can be replaced by a fake, and the
/// task allocator can be told to fail. Production code never calls these.
namespace engine_test {

using ClassFactory = std::function<HRESULT(REFIID iid, void** object)>;

/// From now on CoCreateInstance of clsid calls factory; an empty factory restores the
/// engine's own class.
void OverrideClass(REFCLSID clsid, ClassFactory factory);

/// The next `count` calls of CoTaskMemAlloc fail (return null); 0 restores normal work.
void FailTaskMemAllocs(int count);

/// How many blocks from CoTaskMemAlloc have not yet been given to CoTaskMemFree.
int LiveTaskMemBlocks();

/// How many memory streams (from CreateStreamOnHGlobal) exist now.
int LiveMemoryStreams();

}  // namespace engine_test
