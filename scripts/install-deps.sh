#!/usr/bin/env bash
# Installs the Debian packages this project needs, once: packages already present are
# left alone, so running it again changes nothing. Needs root (or sudo).
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config googletest
  # the Linux engine: synthesis, sound server and ALSA clients, WAV files, resampling, markup
  libespeak-ng-dev espeak-ng-data libpulse-dev libasound2-dev libsndfile1-dev libsoxr-dev libexpat1-dev
  # tests: a private sound server, independent audio tools, UDP senders
  pulseaudio pulseaudio-utils sox socat python3
  # fuzzing (clang's libFuzzer), and the fault tests' own network namespace
  clang libclang-rt-14-dev iproute2 util-linux
  # benchmarks
  libbenchmark-dev
  # the Windows build and running it
  g++-mingw-w64-x86-64-posix mingw-w64 wine wine64
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
