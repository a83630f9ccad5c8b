# The product: 32-bit Windows, as the game is.
set(TINTMOOR_MINGW_ARCH i686)
include("${CMAKE_CURRENT_LIST_DIR}/mingw.cmake")
