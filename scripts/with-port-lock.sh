#!/usr/bin/env bash
# Runs a command holding the lock on the service's fixed UDP port, so that two test or
# benchmark runs on one machine never start services that take each other's datagrams.
# Every test and benchmark that starts the service, or binds its port, runs under it.
set -euo pipefail
export SPEECH_PORT_LOCKED=1
exec flock /tmp/speech-port.lock "$@"
