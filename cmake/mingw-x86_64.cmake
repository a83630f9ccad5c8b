# A 64-bit Windows build of the same code. The product is 32-bit; this build
# lets the Windows tests run under Wine on hosts whose kernel cannot start
# 32-bit programs (Wine's 32-bit loader is a 32-bit Linux program).
set(TINTMOOR_MINGW_ARCH x86_64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw.cmake")
