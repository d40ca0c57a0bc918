# What `cmake --install` puts in place: the three commands, their man pages, the user
# unit, and the speech library with its headers, CMake package and pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS speech-service speech-say speech-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT service)
install(FILES docs/man/speech-service.1 docs/man/speech-say.1 docs/man/speech-render.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT service)

if(NOT WIN32)
  configure_file(packaging/speech-service.service.in speech-service.service @ONLY)
  # The user units of systemd live below the prefix's lib, not the architecture's. The
  # unit names the service by the prefix the build was configured for.
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/speech-service.service
          DESTINATION lib/systemd/user COMPONENT service)
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
