#pragma once
// Constants of the speech platform that mingw-w64's headers do not carry.
#include <windows.h>

#ifndef SPFEI_ALL_EVENTS
constexpr ULONGLONG SPFEI_ALL_EVENTS = 0xEFFFFFFFFFFFFFFFull;
#endif
