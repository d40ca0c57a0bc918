#include "ClassOverride.h"

#ifndef _WIN32
#include "engine/linux/TestHooks.h"

ClassOverride::ClassOverride(REFCLSID id, Factory factory) : clsid(id) {
    engine_test::OverrideClass(clsid, std::move(factory));
}

ClassOverride::~ClassOverride() { engine_test::OverrideClass(clsid, nullptr); }
#endif
