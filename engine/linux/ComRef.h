#pragma once
#include <utility>

#include "ComTypes.h"

/// Owns one reference to an engine interface inside the engine: released when the owner
/// goes or is given another. Adopt() takes over a reference the caller already owns;
/// Share() adds one of its own.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    static ComRef Adopt(Interface* object) {
        ComRef ref;
        ref.held = object;
        return ref;
    }
    static ComRef Share(Interface* object) {
        if (object != nullptr) object->AddRef();
        return Adopt(object);
    }
    ComRef(const ComRef& other) : held(other.held) {
        if (held != nullptr) held->AddRef();
    }
    ComRef(ComRef&& other) noexcept : held(std::exchange(other.held, nullptr)) {}
    ComRef& operator=(ComRef other) noexcept {
        std::swap(held, other.held);
        return *this;
    }
    ~ComRef() {
        if (held != nullptr) held->Release();
    }

    Interface* Get() const { return held; }
    Interface* operator->() const { return held; }
    explicit operator bool() const { return held != nullptr; }
    /// A new reference for a caller's out-parameter.
    Interface* HandOut() const {
        if (held != nullptr) held->AddRef();
        return held;
    }

private:
    Interface* held = nullptr;
};

/// The object's `Interface`, with a reference, or an empty ComRef when it has none.
template <class Interface>
ComRef<Interface> QueryRef(IUnknown* object, REFIID iid) {
    void* found = nullptr;
    if (object == nullptr || FAILED(object->QueryInterface(iid, &found))) return {};
    return ComRef<Interface>::Adopt(static_cast<Interface*>(found));
}
