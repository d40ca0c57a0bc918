#!/usr/bin/env bash
# Installation as a user or packager meets it: the Debian packages are built and pass
# lintian; what they install is checked, file by file; the user unit passes systemd's
# check, installed for /usr and into another prefix; and programs of someone else's
# build and run against the installed library (through find_package and through
# pkg-config) and against the sources taken in with add_subdirectory.
# Usage: install-test.sh SCRATCH_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$1
rm -rf "$scratch"
mkdir -p "$scratch"
failures=0
check() {  # description, command...
  local what=$1
  shift
  if "$@" >"$scratch/last.log" 2>&1; then
    echo "ok    $what"
  else
    echo "FAIL  $what"
    sed 's/^/      /' "$scratch/last.log" | tail -n 20
    failures=$((failures + 1))
  fi
}

# The packages, from a build of their own for the prefix /usr.
export BUILD_DIR_PACKAGE=$scratch/build
check "the packages build" "$top/scripts/package.sh"
deb=$(ls "$scratch"/build/speech-service_*_amd64.deb 2>/dev/null | head -1)
dev=$(ls "$scratch"/build/libspeech-service-dev_*_amd64.deb 2>/dev/null | head -1)
check "speech-service_VERSION_amd64.deb is made" test -f "$deb"
check "libspeech-service-dev_VERSION_amd64.deb is made" test -f "$dev"
contents() { dpkg-deb -c "$1" | awk '{print $6}' | sed 's#^\./#/#'; }
for file in /usr/bin/speech-service /usr/bin/speech-say /usr/bin/speech-render \
            /usr/share/man/man1/speech-service.1.gz /usr/share/man/man1/speech-say.1.gz \
            /usr/share/man/man1/speech-render.1.gz /usr/lib/systemd/user/speech-service.service \
            /usr/share/doc/speech-service/copyright /usr/share/doc/speech-service/changelog.gz; do
  check "the package holds $file" grep -qx "$file" <(contents "$deb")
done
# Debian's own checks of a package, errors and warnings alike.
for package in "$deb" "$dev"; do
  check "lintian finds nothing wrong with $(basename "$package")" lintian --fail-on error,warning "$package"
done
# The libraries go where the system's own do (with the architecture's name on Debian).
libdir='/usr/lib(/[a-z0-9_]+-linux-gnu)?'
for file in /usr/include/speech-service/speech/Speaker.h /usr/include/speech-service/engine/Engine.h \
            /usr/share/doc/libspeech-service-dev/copyright \
            "$libdir/libspeech-service.a" "$libdir/libspeech-service-engine.a" \
            "$libdir/cmake/SpeechService/SpeechServiceConfig.cmake" "$libdir/pkgconfig/speech-service.pc"; do
  check "the library package holds $file" grep -qxE "$file" <(contents "$dev")
done
# Dependencies read off the binaries: the synthesizers and the sound libraries.
depends=$(dpkg-deb -f "$deb" Depends)
echo "      Depends: $depends"
for library in libespeak-ng1 libflite1 libpulse0 libsndfile1 libsoxr0 libasound2 libexpat1 libicu unicode-cldr-core; do
  check "the package depends on $library" grep -q "$library" <<<"$depends"
done
# The text front end's module, which the engine opens where it is installed.
check "the package holds the text module" grep -qxE "$libdir/speech-service/libspeech-service-text.so" <(contents "$deb")

# Installed into a staging root, as the package would install it.
root=$scratch/root
check "cmake --install puts it in place" env DESTDIR="$root" cmake --install "$scratch/build"
check "the installed speech-say runs" "$root/usr/bin/speech-say" --version
# systemd checks that ExecStart names a program: a copy of the unit names the staged one.
unit=$scratch/speech-service.service
sed "s#^ExecStart=/#ExecStart=$root/#" "$root/usr/lib/systemd/user/speech-service.service" >"$unit"
check "the user unit passes systemd's check" systemd-analyze verify --man=no "$unit"
check "the user unit restarts the service, but not when the port is taken" \
  grep -qx "RestartPreventExitStatus=1" "$root/usr/lib/systemd/user/speech-service.service"
# Installed into another prefix than the build's: the unit names the program there.
prefix=$scratch/prefix
check "cmake --install --prefix puts it in another prefix" cmake --install "$scratch/build" --prefix "$prefix"
# Below a prefix other than /usr and /usr/local the unit goes where ~/.local's goes.
check "the unit there starts the program there" \
  grep -qx "ExecStart=$prefix/bin/speech-service" "$prefix/share/systemd/user/speech-service.service"
# A user manager's check wants a runtime directory, which a CI run has none of.
runtime=$scratch/runtime
mkdir -m 700 "$runtime"
check "... and passes systemd's check of user units" env XDG_RUNTIME_DIR="$runtime" \
  systemd-analyze verify --user --man=no "$prefix/share/systemd/user/speech-service.service"

# Someone else's program against the installed library.
check "a consumer builds with find_package" cmake -S "$top/tests/install/consumer" -B "$scratch/consumer" \
  -DCMAKE_PREFIX_PATH="$root/usr"
check "... and links" cmake --build "$scratch/consumer"
check "... and renders speech" "$scratch/consumer/consumer" "$scratch/consumer.wav"
check "... into a WAV file" grep -q "44100" <(soxi -r "$scratch/consumer.wav")
check "a consumer builds with pkg-config" sh -c \
  "g++ -std=c++17 -o '$scratch/pc-consumer' '$top/tests/install/consumer/main.cpp' \
   \$(PKG_CONFIG_PATH='$(dirname "$(find "$root" -name speech-service.pc | head -1)")' \
      pkg-config --define-variable=prefix='$root/usr' --cflags --libs speech-service)"
check "... and renders speech" "$scratch/pc-consumer" "$scratch/pc-consumer.wav"
check "a project takes the sources in with add_subdirectory" cmake -S "$top/tests/install/subproject" \
  -B "$scratch/subproject" -DSPEECH_SOURCE_DIR="$top"
check "... builds the library and its program, and no tests" sh -c \
  "cmake --build '$scratch/subproject' --target consumer -j $(nproc) && ! test -e '$scratch/subproject/speech-service/tests'"
check "... which renders speech" "$scratch/subproject/consumer" "$scratch/subproject.wav"

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
