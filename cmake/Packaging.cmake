# The release archive: Tintmoor-<version>-win32.zip with the program, the
# command-line tool, the default colour file and the README, all in one folder
# so the program finds its default colours beside it.
#
#   cmake --build --preset win32 --target package
#   (or: cmake --build --preset win32 && (cd build/win32 && cpack))
if(NOT WIN32)
  return()
endif()

foreach(program IN ITEMS Tintmoor tintmoor-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION .)
  endif()
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/data/playercolors.xml" "${PROJECT_SOURCE_DIR}/README.md"
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tintmoor)
set(CPACK_PACKAGE_VENDOR Brindle)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_SYSTEM_NAME win32)
set(CPACK_PACKAGE_FILE_NAME "Tintmoor-${PROJECT_VERSION}-win32")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
include(CPack)
