#!/usr/bin/env bash
# Installs what is missing, builds, and runs the speech service in the foreground.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
exec "${BUILD_DIR:-$top/build}/speech-service"
