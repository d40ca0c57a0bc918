#pragma once
#include <cassert>

#include "engine/Engine.h"

/// Owns at most one reference to an engine interface. Empty when made; its slot may be
/// filled only while it is empty; calling through it requires it to hold something;
/// copying takes one more reference; clearing empties the holder first and releases the
/// interface afterwards, so a re-entrant release never sees a half-cleared holder.
template <class Interface>
class InterfaceHolder {
public:
    InterfaceHolder() = default;
    InterfaceHolder(const InterfaceHolder& other) : held(other.held) {
        if (held != nullptr) held->AddRef();
    }
    InterfaceHolder& operator=(const InterfaceHolder&) = delete;
    ~InterfaceHolder() { Clear(); }

    /// The slot for a call that fills it (an out-parameter, or object creation).
    Interface** Slot() {
        assert(held == nullptr && "an InterfaceHolder's slot is filled only while it is empty");
        return &held;
    }
    /// The same slot, typed for CoCreateInstance and QueryInterface.
    void** VoidSlot() { return reinterpret_cast<void**>(Slot()); }

    Interface* operator->() const {
        assert(held != nullptr && "calling through an empty InterfaceHolder");
        return held;
    }
    /// The held interface, or null; tests nothing.
    Interface* Get() const { return held; }
    bool IsEmpty() const { return held == nullptr; }

    void Clear() {
        Interface* released = held;
        held = nullptr;
        if (released != nullptr) released->Release();
    }

private:
    Interface* held = nullptr;
};
