// The platform's file functions that callers above the engine use, on the file system's
// UTF-8 names.
#include <unistd.h>

#include "Com.h"
#include "engine/CodePoints.h"

BOOL DeleteFileW(LPCWSTR fileName) {
    if (fileName == nullptr || fileName[0] == 0) return FALSE;
    return ::unlink(Utf16ToUtf8(fileName).c_str()) == 0 ? TRUE : FALSE;
}
