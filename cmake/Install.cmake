# What `cmake --install` puts in place: the three commands, their man pages, the user
# unit, the licence and changelog, and the speech library with its headers, CMake
# package and pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS speech-service speech-say speech-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT service)
if(NOT WIN32)
  # The text front end's module, which the engine opens from here once installed.
  install(TARGETS speech-service-text LIBRARY DESTINATION ${SPEECH_TEXT_MODULE_DIRECTORY} COMPONENT service)
endif()

# Man pages and the changelog go in compressed, as Debian's packages carry them (gzip -n:
# no name or time stamp inside, so the same sources give the same bytes).
function(speech_gzip source output)
  add_custom_command(OUTPUT ${output} COMMAND gzip -9 -n -c ${source} > ${output}
                     DEPENDS ${source} VERBATIM)
endfunction()
set(SPEECH_COMPRESSED_MAN_PAGES)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/man)
foreach(page speech-service.1 speech-say.1 speech-render.1)
  speech_gzip(${PROJECT_SOURCE_DIR}/docs/man/${page} ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  list(APPEND SPEECH_COMPRESSED_MAN_PAGES ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
endforeach()
install(FILES ${SPEECH_COMPRESSED_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT service)

# Each package's licence (machine-readable) and changelog, where Debian looks for them.
set(SPEECH_PACKAGE_MAINTAINER "speech-service maintainers <maintainers@users.noreply.c-seed-b5e66507.example>"
    CACHE STRING "Who the packages name as their maintainer")
configure_file(packaging/changelog.in changelog @ONLY)
speech_gzip(${CMAKE_CURRENT_BINARY_DIR}/changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_target(speech-compressed-docs ALL DEPENDS ${SPEECH_COMPRESSED_MAN_PAGES} ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
foreach(package_component speech-service:service libspeech-service-dev:library)
  string(REPLACE ":" ";" package_component ${package_component})
  list(GET package_component 0 package)
  list(GET package_component 1 component)
  install(FILES packaging/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()

if(NOT WIN32)
  # The unit is made when it is installed, so that it names the service where this
  # install puts it: `cmake --install --prefix DIR` may choose another prefix than the
  # build's. It goes where systemd looks for user units: below /usr and /usr/local, in
  # lib/systemd/user (the packages' and the administrator's place); below any other
  # prefix, in share/systemd/user, which for ~/.local is the user's own place
  # ($XDG_DATA_HOME/systemd/user).
  install(CODE "
    set(SPEECH_SERVICE_PORT ${SPEECH_SERVICE_PORT})
    set(SPEECH_INSTALLED_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    if(NOT IS_ABSOLUTE \"\${SPEECH_INSTALLED_BINDIR}\")
      set(SPEECH_INSTALLED_BINDIR \"\${CMAKE_INSTALL_PREFIX}/\${SPEECH_INSTALLED_BINDIR}\")
    endif()
    if(CMAKE_INSTALL_PREFIX MATCHES \"^/usr(/local)?/?$\")
      set(unit_directory \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/user\")
    else()
      set(unit_directory \"\${CMAKE_INSTALL_PREFIX}/share/systemd/user\")
    endif()
    configure_file(\"${PROJECT_SOURCE_DIR}/packaging/speech-service.service.in\"
                   \"${CMAKE_CURRENT_BINARY_DIR}/installed-unit/speech-service.service\" @ONLY)
    file(INSTALL \"${CMAKE_CURRENT_BINARY_DIR}/installed-unit/speech-service.service\"
         DESTINATION \"\${unit_directory}\")
  " COMPONENT service)
endif()

# The library.
set(SPEECH_HEADER_DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/speech-service)
install(TARGETS speech engine EXPORT SpeechServiceTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
        INCLUDES DESTINATION ${SPEECH_HEADER_DESTINATION})
install(DIRECTORY speech/ DESTINATION ${SPEECH_HEADER_DESTINATION}/speech COMPONENT library
        FILES_MATCHING PATTERN "*.h")
install(FILES engine/Engine.h engine/InterfaceHolder.h engine/ComObject.h engine/CodePoints.h
        DESTINATION ${SPEECH_HEADER_DESTINATION}/engine COMPONENT library)
if(WIN32)
  install(FILES engine/windows/PlatformExtras.h DESTINATION ${SPEECH_HEADER_DESTINATION}/engine/windows
          COMPONENT library)
else()
  install(FILES engine/linux/com/Com.h engine/linux/com/ComTypes.h engine/linux/com/Identifiers.h
                engine/linux/com/Results.h
          DESTINATION ${SPEECH_HEADER_DESTINATION}/engine/linux/com COMPONENT library)
endif()

set(SPEECH_CMAKE_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/SpeechService)
install(EXPORT SpeechServiceTargets NAMESPACE SpeechService:: DESTINATION ${SPEECH_CMAKE_DESTINATION}
        COMPONENT library)
string(REPLACE ";" " " SPEECH_ENGINE_PACKAGES_SPACED "${SPEECH_ENGINE_PACKAGES}")
configure_package_config_file(packaging/SpeechServiceConfig.cmake.in SpeechServiceConfig.cmake
                              INSTALL_DESTINATION ${SPEECH_CMAKE_DESTINATION})
write_basic_package_version_file(SpeechServiceConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/SpeechServiceConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/SpeechServiceConfigVersion.cmake
        DESTINATION ${SPEECH_CMAKE_DESTINATION} COMPONENT library)

if(NOT WIN32)
  string(REPLACE ";" ", " SPEECH_PKG_REQUIRES "${SPEECH_ENGINE_PACKAGES}")
  configure_file(packaging/speech-service.pc.in speech-service.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/speech-service.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
          COMPONENT library)
endif()
