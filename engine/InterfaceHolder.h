#pragma once
#include <cassert>
#include <utility>

#include "Engine.h"

/// Owns at most one reference to an engine interface: the one reference holder of the
/// whole system, engine included. Empty when made; its slot may be filled only while it
/// is empty; calling through it requires it to hold something; Get() reads without
/// testing; copying takes one more reference, moving hands the one it has over; clearing
/// empties the holder first and releases the interface afterwards, so a re-entrant
/// release never sees a half-cleared holder; destroying it clears it. The rules on slots
/// and calls are checked with asserts in debug builds.
template <class Interface>
class InterfaceHolder {
public:
    InterfaceHolder() = default;
    InterfaceHolder(const InterfaceHolder& other) : held(other.held) {
        if (held != nullptr) held->AddRef();
    }
    InterfaceHolder(InterfaceHolder&& other) noexcept : held(std::exchange(other.held, nullptr)) {}
    /// Holds what `other` holds instead (with a reference of its own), after clearing.
    InterfaceHolder& operator=(const InterfaceHolder& other) {
        if (this != &other) *this = InterfaceHolder(other);
        return *this;
    }
    InterfaceHolder& operator=(InterfaceHolder&& other) noexcept {
        if (this != &other) {
            Clear();
            held = std::exchange(other.held, nullptr);
        }
        return *this;
    }
    ~InterfaceHolder() { Clear(); }

    /// Takes over a reference the caller owns (null gives an empty holder).
    static InterfaceHolder Adopt(Interface* owned) {
        InterfaceHolder holder;
        holder.held = owned;
        return holder;
    }
    /// Holds `object` with a reference of its own, as a copy would.
    static InterfaceHolder Share(Interface* object) {
        if (object != nullptr) object->AddRef();
        return Adopt(object);
    }
    /// The `Interface` of `object`, with a reference of its own; empty when `object` is
    /// null or does not offer it.
    static InterfaceHolder Query(IUnknown* object, REFIID iid) {
        InterfaceHolder holder;
        if (object != nullptr && FAILED(object->QueryInterface(iid, holder.VoidSlot()))) holder.held = nullptr;
        return holder;
    }

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
    /// A new reference to the held interface for a caller's out-parameter (null if empty).
    Interface* NewReference() const {
        if (held != nullptr) held->AddRef();
        return held;
    }

    void Clear() {
        Interface* released = held;
        held = nullptr;
        if (released != nullptr) released->Release();
    }

private:
    Interface* held = nullptr;
};
