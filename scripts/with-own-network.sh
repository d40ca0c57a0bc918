#!/usr/bin/env bash
# Runs a command in a network namespace of its own, whose loopback interface nothing else
# on the machine shares: a service started there has the fixed port to itself, and a
# flood of datagrams reaches no other program. Needs root (as in CI); elsewhere the
# command runs on the machine's own network, holding the port lock.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "${SPEECH_OWN_NETWORK:-}" = 1 ]; then
  ip link set lo up
  # Nothing outside this namespace can take its port: it needs no lock.
  export SPEECH_PORT_LOCKED=1
  exec "$@"
fi
if unshare -n true 2>/dev/null; then
  exec unshare -n env SPEECH_OWN_NETWORK=1 "$here/with-own-network.sh" "$@"
fi
exec "$here/with-port-lock.sh" "$@"
