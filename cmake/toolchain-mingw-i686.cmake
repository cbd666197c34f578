# The 32-bit plug-in, the one that ships.
set(QELV_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
