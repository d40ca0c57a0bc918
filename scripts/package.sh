#!/usr/bin/env bash
# Builds the Debian packages with CPack into build-package/ (BUILD_DIR_PACKAGE overrides):
# speech-service_VERSION_amd64.deb (speech-service, speech-say, speech-render, their man
# pages, the systemd user unit) and libspeech-service-dev_VERSION_amd64.deb (the library
# for other programs). Installs what building needs first.
#   apt install ./build-package/speech-service_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR_PACKAGE:-$top/build-package}
"$top/scripts/install-deps.sh" package
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DSPEECH_BUILD_TESTS=OFF -DSPEECH_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack >/dev/null)
ls "$build"/*.deb
