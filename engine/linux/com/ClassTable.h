#pragma once
#include "ComTypes.h"

/// Makes a new object of one class and hands out one reference to the interface asked for.
using ClassMaker = HRESULT (*)(REFIID iid, void** object);

/// The classes CoCreateInstance can make. The room that implements a class registers it
/// while the engine starts, once, before the first lookup: the table is written before
/// anyone reads it, so lookups take no lock. A class registered twice keeps its first maker.
void RegisterCreatableClass(REFCLSID clsid, ClassMaker maker);

/// The maker of `clsid`, or null when no room registered it.
ClassMaker FindCreatableClass(REFCLSID clsid);
