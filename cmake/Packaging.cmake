# The release files, written by tools/release through CPack:
#   - the Windows build (preset win32): Tintmoor-<version>-win32.zip, one
#     folder holding the program, the command-line tool, the default color
#     file (beside the program, where it looks for it), README.html with its
#     pictures in docs/, and CHANGES.txt;
#   - the Linux release build (preset release, TINTMOOR_RELEASE):
#     tintmoor-cli_<version>_amd64.deb and
#     tintmoor-cli-<version>-linux-x86_64.tar.gz, the command-line tool with
#     its man page, bash completion and default color file.
set(CPACK_PACKAGE_VENDOR Brindle)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
set(CPACK_PACKAGE_CONTACT "Brindle <brindle@example.org>")

if(WIN32)
  foreach(program IN ITEMS Tintmoor tintmoor-cli)
    if(TARGET ${program})
      install(TARGETS ${program} RUNTIME DESTINATION .)
    endif()
  endforeach()
  install(FILES "${PROJECT_SOURCE_DIR}/data/playercolors.xml" "${PROJECT_SOURCE_DIR}/CHANGES.txt"
          DESTINATION .)

  # The README as a web page: what a Windows player opens with a double-click.
  find_program(TINTMOOR_CMARK cmark-gfm DOC "Renders README.md as HTML for the release zip")
  set(_readme_html "${CMAKE_BINARY_DIR}/package-files/README.html")
  if(TINTMOOR_CMARK)
    add_custom_command(
      OUTPUT "${_readme_html}"
      COMMAND "${CMAKE_COMMAND}" "-DCMARK=${TINTMOOR_CMARK}"
              "-DINPUT=${PROJECT_SOURCE_DIR}/README.md" "-DOUTPUT=${_readme_html}"
              "-DTITLE=${PROJECT_DESCRIPTION} ${PROJECT_VERSION}"
              -P "${PROJECT_SOURCE_DIR}/cmake/readme-html.cmake"
      DEPENDS "${PROJECT_SOURCE_DIR}/README.md" "${PROJECT_SOURCE_DIR}/cmake/readme-html.cmake"
      COMMENT "Rendering README.html"
      VERBATIM)
    add_custom_target(tintmoor_readme ALL DEPENDS "${_readme_html}")
  else()
    add_custom_target(tintmoor_readme)
    install(CODE "message(FATAL_ERROR \"cmark-gfm is needed to render README.html for the \"
                                      \"release zip (Debian: apt-get install cmark-gfm)\")")
  endif()
  install(FILES "${_readme_html}" DESTINATION .)
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/" DESTINATION docs FILES_MATCHING PATTERN "*.png")

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Tintmoor)
  set(CPACK_PACKAGE_FILE_NAME "Tintmoor-${PROJECT_VERSION}-win32")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  include(CPack)
  return()
endif()

option(TINTMOOR_RELEASE "Package tintmoor-cli for Linux: man page, completion, .deb and .tar.gz" OFF)
if(NOT TINTMOOR_RELEASE OR NOT TARGET tintmoor-cli)
  return()
endif()

# The C++ runtime is the system's: linked in statically, GCC 12's brings a
# need for glibc 2.36 (its random_device calls arc4random), which would shut
# out Ubuntu 22.04; shared, the program needs glibc 2.35 and GCC 11's runtime.
# The release tests hold it to that.

find_program(TINTMOOR_HELP2MAN help2man DOC "Writes the man page from tintmoor-cli --help")
set(_man "${CMAKE_BINARY_DIR}/package-files/tintmoor-cli.1")
if(NOT TINTMOOR_HELP2MAN)
  # The benchmarks build in this tree too, and need no man page.
  add_custom_target(tintmoor_manpage
    COMMAND "${CMAKE_COMMAND}" -E echo "help2man is needed for the man page (Debian: apt-get install help2man)"
    COMMAND "${CMAKE_COMMAND}" -E false)
  install(CODE "message(FATAL_ERROR \"help2man is needed for the man page\")")
else()
  add_custom_command(
    OUTPUT "${_man}.gz"
    COMMAND "${CMAKE_COMMAND}" "-DHELP2MAN=${TINTMOOR_HELP2MAN}" "-DCLI=$<TARGET_FILE:tintmoor-cli>"
            "-DOUTPUT=${_man}" -P "${PROJECT_SOURCE_DIR}/cmake/manpage.cmake"
    COMMAND gzip -9nf "${_man}"
    DEPENDS tintmoor-cli "${PROJECT_SOURCE_DIR}/cmake/manpage.cmake"
    COMMENT "Writing the man page of tintmoor-cli"
    VERBATIM)
  add_custom_target(tintmoor_manpage ALL DEPENDS "${_man}.gz")
endif()

install(TARGETS tintmoor-cli RUNTIME DESTINATION bin)
install(FILES "${PROJECT_SOURCE_DIR}/data/playercolors.xml" DESTINATION share/tintmoor-cli)
install(FILES "${_man}.gz" DESTINATION share/man/man1)
install(FILES "${PROJECT_SOURCE_DIR}/data/tintmoor-cli.bash"
        DESTINATION share/bash-completion/completions RENAME tintmoor-cli)
install(FILES "${PROJECT_SOURCE_DIR}/CHANGES.txt" DESTINATION share/doc/tintmoor-cli)

set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_NAME tintmoor-cli)
set(CPACK_PACKAGE_FILE_NAME "tintmoor-cli-${PROJECT_VERSION}-linux-x86_64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "change the player colors of Age of Mythology")
set(CPACK_DEBIAN_FILE_NAME "tintmoor-cli_${PROJECT_VERSION}_amd64.deb")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "tintmoor-cli lists, sets, imports and exports the player colors of the game
Age of Mythology, run in a Wine prefix, and checks whether every player can be
told apart, also with the common kinds of color blindness.")
set(CPACK_STRIP_FILES ON)
include(CPack)
