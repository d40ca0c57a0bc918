#pragma once
#include <functional>

#include "engine/Engine.h"

/// While it lives, CoCreateInstance of `clsid` calls `factory` instead of making the
/// engine's own object, so code that creates its engine objects itself can be tested
/// against fakes.
class ClassOverride {
public:
    using Factory = std::function<HRESULT(REFIID iid, void** object)>;
    ClassOverride(REFCLSID clsid, Factory factory);
    ~ClassOverride();
    ClassOverride(const ClassOverride&) = delete;
    ClassOverride& operator=(const ClassOverride&) = delete;

private:
    CLSID clsid;
    [[maybe_unused]] unsigned long cookie = 0;  // the platform's registration, where it has one
    [[maybe_unused]] bool comStarted = false;   // whether this override initialised COM (to be undone)
};
