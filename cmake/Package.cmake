# The Debian packages CPack makes (scripts/package.sh): speech-service, with the
# commands, their man pages and the user unit; libspeech-service-dev, with the library,
# its headers, its CMake package and its pkg-config file. The run-time dependencies are
# read off the binaries by dpkg-shlibdeps, but for data files the service reads.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME speech-service)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${SPEECH_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL service library)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The commands go in without their symbol tables; the static libraries keep theirs.
set(CPACK_STRIP_FILES ON)
# Both come from one source, whose changelog each carries.
set(CPACK_DEBIAN_PACKAGE_SOURCE speech-service)

set(CPACK_DEBIAN_SERVICE_PACKAGE_NAME speech-service)
# Each package's description: its own summary line (so no package-wide summary is set,
# which CPack would put before it), then lines of under 80 characters.
string(JOIN "\n" CPACK_COMPONENT_SERVICE_DESCRIPTION
  "speaks the text other programs send to it over UDP"
  "A console program that speaks, through the desktop's sound server, the text"
  "other programs send it in UDP datagrams on 127.0.0.1 port ${SPEECH_SERVICE_PORT}."
  "With speech-say to send them from a shell, speech-render to render speech and"
  "WAV files into 44.1 kHz mono, and a systemd user unit.")
set(CPACK_DEBIAN_SERVICE_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio")
# Read at run time, not linked: CLDR's names for symbols and emoji.
set(CPACK_DEBIAN_SERVICE_PACKAGE_DEPENDS "unicode-cldr-core")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libspeech-service-dev)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libdevel)
string(JOIN "\n" CPACK_COMPONENT_LIBRARY_DESCRIPTION
  "speech service's rendering facility as a static library"
  "The Speaker behind speech-service and speech-render: speech into WAV files"
  "and memory, WAV files into 44.1 kHz mono. Found by CMake with"
  "find_package(SpeechService) and by pkg-config as speech-service.")
# The engine opens the speech-service package's text module (written text read aloud).
set(CPACK_DEBIAN_LIBRARY_PACKAGE_DEPENDS
    "speech-service (= ${CPACK_PACKAGE_VERSION}), libespeak-ng-dev, flite1-dev, libsonic-dev, libpulse-dev, libasound2-dev, libsndfile1-dev, libsoxr-dev, libexpat1-dev, pkg-config")

include(CPack)
