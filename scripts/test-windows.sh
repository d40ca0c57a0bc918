#!/usr/bin/env bash
# Cross-builds the Windows executables with mingw-w64 into build-windows/
# (BUILD_DIR_WINDOWS overrides) and runs the Windows unit tests and the smoke test of
# speech-service.exe under wine; with a Linux build at hand (BUILD_DIR, default build/),
# also speech-say.exe speaking through the Linux service. The wine prefix lives in the
# build directory; the first run makes it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR_WINDOWS:-$top/build-windows}
linux_service=${BUILD_DIR:-$top/build}/speech-service
[ -x "$linux_service" ] || linux_service=""
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DSPEECH_LINUX_SERVICE="$linux_service" >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure
