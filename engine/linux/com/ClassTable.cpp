#include "ClassTable.h"

#include <cstddef>

#include "Identifiers.h"

namespace {

struct CreatableClass {
    CLSID clsid;
    ClassMaker maker;
};

// The engine has two creatable classes; a fixed table keeps start-up free of allocation.
constexpr size_t kMostClasses = 8;
CreatableClass classes[kMostClasses];
size_t classCount = 0;

}  // namespace

void RegisterCreatableClass(REFCLSID clsid, ClassMaker maker) {
    if (FindCreatableClass(clsid) != nullptr || classCount == kMostClasses) return;
    classes[classCount++] = {clsid, maker};
}

ClassMaker FindCreatableClass(REFCLSID clsid) {
    for (size_t i = 0; i < classCount; ++i)
        if (classes[i].clsid == clsid) return classes[i].maker;
    return nullptr;
}
