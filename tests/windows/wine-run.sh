#!/usr/bin/env bash
# Runs a Windows program under wine in a private prefix (WINEPREFIX, default
# build-windows/wineprefix), making the prefix on first use. Console programs need no
# display; the Mono and Gecko installers are switched off so nothing prompts.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build-windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset DISPLAY WAYLAND_DISPLAY

if [ ! -f "$WINEPREFIX/.speech-prefix-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Two runs at once must not both build the prefix.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.speech-prefix-ready" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.speech-prefix-ready"
  fi
  flock -u 9
  exec 9>&-
fi
exec wine "$@"
