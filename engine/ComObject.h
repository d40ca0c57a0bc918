#pragma once
#include <atomic>
#include <type_traits>

#include "Engine.h"

/// Maps an interface type to its identifier and the interface it extends, so that an
/// object answers QueryInterface for every interface in its chain.
template <class T>
struct InterfaceTraits;

#define ENGINE_INTERFACE_TRAITS(Type, BaseType, Id)    \
    template <>                                        \
    struct InterfaceTraits<Type> {                     \
        using Base = BaseType;                         \
        static const IID& Identifier() { return Id; }  \
    }

ENGINE_INTERFACE_TRAITS(IUnknown, void, IID_IUnknown);
ENGINE_INTERFACE_TRAITS(ISequentialStream, IUnknown, IID_ISequentialStream);
ENGINE_INTERFACE_TRAITS(IStream, ISequentialStream, IID_IStream);
ENGINE_INTERFACE_TRAITS(ISpStreamFormat, IStream, IID_ISpStreamFormat);
ENGINE_INTERFACE_TRAITS(ISpStream, ISpStreamFormat, IID_ISpStream);
ENGINE_INTERFACE_TRAITS(ISpVoice, IUnknown, IID_ISpVoice);

/// Implements AddRef, Release and QueryInterface once for an object that implements the
/// listed interfaces. The count is atomic (the voice's worker holds references too); the
/// object deletes itself when the count reaches zero. A new object starts with one
/// reference, which belongs to whoever created it.
template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = Find<Interfaces...>(iid);
        if (*object == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override {
        ULONG left = --references;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    template <class First, class... Rest>
    void* Find(REFIID iid) {
        if (void* found = Match<First, First>(iid)) return found;
        if constexpr (sizeof...(Rest) > 0) return Find<Rest...>(iid);
        return nullptr;
    }
    template <class Listed, class Interface>
    void* Match(REFIID iid) {
        if (iid == InterfaceTraits<Interface>::Identifier())
            return static_cast<Interface*>(static_cast<Listed*>(this));
        if constexpr (!std::is_void_v<typename InterfaceTraits<Interface>::Base>)
            return Match<Listed, typename InterfaceTraits<Interface>::Base>(iid);
        return nullptr;
    }

    std::atomic<ULONG> references{1};
};

/// Hands a freshly made object over to its creator's caller as the interface asked for,
/// dropping the creation reference: the caller ends up owning exactly one reference (and
/// with an interface the object lacks, the object is gone).
template <class Object>
HRESULT HandOverNewObject(Object* object, REFIID iid, void** result) {
    if (object == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(iid, result);
    object->Release();
    return hr;
}
