#!/usr/bin/env bash
# Installs the Debian packages this project needs, once: packages already present are
# left alone, so running it again changes nothing. Needs root (or sudo).
#   install-deps.sh run      what building and running the service and the tools needs
#   install-deps.sh package  that, and what building the Debian packages needs
#   install-deps.sh test     all of that, and what every test needs (the default)
# Recommended packages are not installed: everything needed is named here.
set -euo pipefail
set_name=${1:-test}

run_packages=(
  # building
  g++ make cmake pkg-config
  # the Linux engine: synthesis, markup, sound server and ALSA clients, WAV files, resampling
  libespeak-ng-dev espeak-ng-data libexpat1-dev libpulse-dev libasound2-dev libsndfile1-dev libsoxr-dev
  # flite's library and its English voices; libsonic, which speeds speech up
  flite1-dev libsonic-dev
  # reading written text aloud: ICU (spell-out, currencies, units, dates, transliteration)
  # and CLDR's names of symbols and emoji
  libicu-dev unicode-cldr-core
)
package_packages=(
  "${run_packages[@]}"
  # dependencies read off the binaries
  dpkg-dev
)
test_packages=(
  "${package_packages[@]}"
  googletest libbenchmark-dev
  # private sound servers (PulseAudio; PipeWire with its PulseAudio service, its session
  # manager and a session bus for it), independent audio tools, UDP senders
  pulseaudio pulseaudio-utils pipewire pipewire-pulse wireplumber pipewire-bin dbus sox socat python3
  # fuzzing (clang's libFuzzer), and the fault tests' own network namespace
  clang libclang-rt-14-dev iproute2 util-linux
  # checking the user unit, and the packages against Debian's rules
  systemd lintian
  # the Windows build (64-bit, posix threads) and running it
  g++-mingw-w64-x86-64-posix wine wine64
)
case $set_name in
  run) packages=("${run_packages[@]}") ;;
  package) packages=("${package_packages[@]}") ;;
  test) packages=("${test_packages[@]}") ;;
  *) echo "usage: install-deps.sh [run|package|test]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
