# What a user installs. `cpack` in a Linux build folder makes orlentic_<version>_<arch>.deb,
# in a MinGW-w64 build folder a ZIP of orlentic.exe with a text on running it and an
# installer made with NSIS. Every package holds stripped binaries, and two builds of one
# commit make the same bytes (cmake/reproducible.cmake).
include(GNUInstallDirs)

set(ORLENTIC_PACKAGE_MAINTAINER "Orlentic developers <maintainers@orlentic.example>" CACHE STRING
    "Maintainer field of the Debian package: name <e-mail>")

if(WIN32)
  # The Windows resource script takes its version from here; absent parts count as 0, as
  # the four numbers of a version resource need all four.
  set(ORLENTIC_VERSION_NUMBERS "")
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(number "${PROJECT_VERSION_${part}}")
    if(number STREQUAL "")
      set(number 0)
    endif()
    list(APPEND ORLENTIC_VERSION_NUMBERS ${number})
  endforeach()
  string(REPLACE ";" "," ORLENTIC_VERSION_NUMBERS "${ORLENTIC_VERSION_NUMBERS}")
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/version.h.in
                 ${PROJECT_BINARY_DIR}/resources/orlentic_version.h)

  install(FILES ${PROJECT_SOURCE_DIR}/resources/windows/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_PACKAGE_FILE_NAME orlentic-${PROJECT_VERSION}-windows-x86_64)
  # The installer's script is resources/windows/NSIS.template.in, found on the module path.
  list(APPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/resources/windows)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Orlentic)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Orlentic)
  set(CPACK_NSIS_PACKAGE_NAME Orlentic)
  set(CPACK_NSIS_DISPLAY_NAME Orlentic)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/windows/orlentic.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/windows/orlentic.ico)
else()
  # The menu entry, its icon (a 128 by 128 picture of the watch drawn by the renderer,
  # committed so that installing needs no GL) and the software centres' description.
  set(linuxFiles ${PROJECT_SOURCE_DIR}/resources/linux)
  install(FILES ${linuxFiles}/orlentic.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${linuxFiles}/orlentic.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
  install(FILES ${linuxFiles}/org.orlentic.orlentic.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  include(${PROJECT_SOURCE_DIR}/cmake/man_pages.cmake)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_NAME orlentic)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORLENTIC_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  # The libraries the two executables link decide the dependencies, so a new library or
  # another distribution's names cannot go stale in a hand-kept list.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Save one: SDL opens libGL.so.1 for the viewer's GLX context at run time, so no binary
  # names it, and without it the window gets no GL on a machine without a desktop.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
  # The screensaver is a display mode of xscreensaver; the daemon runs GL modes only with its
  # GL package beside it. The viewer needs neither.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver, xscreensaver-gl")
endif()

set(CPACK_PACKAGE_NAME orlentic)
set(CPACK_PACKAGE_VENDOR "Orlentic developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3-D view of an analogue watch")
# One line each, as the package's control file wants its description folded: at most 79
# characters with the space that starts each line there.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Orlentic draws an analogue watch with OpenGL 1.1: a polished metal case with"
       "a reflection, a transparent glass, a textured dial, hands that follow the"
       "computer's clock, and a train of gears that turns behind the dial when the"
       "case is hidden. The mouse turns, zooms and moves the watch."
       ""
       "It also holds a screensaver: orlentic-saver, a display mode of xscreensaver"
       "with a page in its settings program, where it is called Orlentic."
       ""
       "orlentic-render draws the same scene offscreen into a PNG.")
# Every installed binary is stripped, whatever the build type; the symbols stay in the
# build folder.
set(CPACK_STRIP_FILES ON)
# cpack dates every file in the archives SOURCE_DATE_EPOCH; unless the caller sets it, the
# last commit's time, read when the build was configured.
configure_file(${PROJECT_SOURCE_DIR}/cmake/cpack_options.cmake.in
               ${PROJECT_BINARY_DIR}/CPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackOptions.cmake)
include(CPack)
