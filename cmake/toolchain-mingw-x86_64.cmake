# The same sources for 64-bit Windows: the Windows tests run from this tree where the
# machine's Wine runs only 64-bit programs. It differs from the 32-bit tree in nothing
# but the compilers.
set(QELV_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
