# libqelv: the engine as a shared library with a small C interface, include/qelv/qelv.h.
# Its version is the project's; its soname (libqelv.so.1) changes only when a program
# built against an older header could no longer run with it. Only the qelv_ functions are
# exported: the sources are compiled with hidden visibility, the static libraries it is
# made of keep their symbols (--exclude-libs), and a version script leaves nothing else.
# The header states the version to the programs built against it: it must be this one.
file(STRINGS ${CMAKE_SOURCE_DIR}/include/qelv/qelv.h qelv_version_lines REGEX "^#define QELV_VERSION_(MAJOR|MINOR|PATCH) ")
set(qelv_header_version)
foreach(part MAJOR MINOR PATCH)
  string(REGEX REPLACE ".*#define QELV_VERSION_${part} ([0-9]+).*" "\\1" number "${qelv_version_lines}")
  list(APPEND qelv_header_version ${number})
endforeach()
list(JOIN qelv_header_version . qelv_header_version)
if(NOT qelv_header_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "include/qelv/qelv.h says version ${qelv_header_version}, the project ${PROJECT_VERSION}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/include/qelv/qelv.h)

qelv_sources(CAPI_SOURCES capi)
add_library(qelv_library SHARED ${CAPI_SOURCES})
set(QELV_SOVERSION 1)
set_target_properties(qelv_library PROPERTIES
  OUTPUT_NAME qelv EXPORT_NAME qelv VERSION ${PROJECT_VERSION} SOVERSION ${QELV_SOVERSION}
  C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
  LINK_DEPENDS ${CMAKE_SOURCE_DIR}/capi/qelv.map)
target_include_directories(qelv_library PUBLIC $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>
                                               $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# Only what drawing needs: no window, sound server or panel libraries; --as-needed drops
# those the player's folder links that the library never calls (the file decoders).
target_link_libraries(qelv_library PRIVATE qelv_host)
target_link_options(qelv_library PRIVATE -Wl,--version-script=${CMAKE_SOURCE_DIR}/capi/qelv.map
                    -Wl,--exclude-libs,ALL -Wl,--no-undefined -Wl,--as-needed)
add_library(Qelv::qelv ALIAS qelv_library)

# Installed with its header, a pkg-config file and a CMake package (find_package(Qelv),
# target Qelv::qelv). Both find the files relative to where they were installed, so
# `cmake --install --prefix DIR` and the .deb work alike.
include(CMakePackageConfigHelpers)
install(TARGETS qelv_library EXPORT QelvTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${CMAKE_SOURCE_DIR}/include/qelv/qelv.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qelv)
set(QELV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Qelv)
install(EXPORT QelvTargets NAMESPACE Qelv:: DESTINATION ${QELV_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/QelvConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/QelvConfig.cmake INSTALL_DESTINATION ${QELV_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/QelvConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/QelvConfig.cmake ${CMAKE_BINARY_DIR}/QelvConfigVersion.cmake
        DESTINATION ${QELV_CMAKE_DIR})
# The pkg-config file names the prefix installed into, which is known only at install time.
install(CODE "
  set(QELV_PC_VERSION ${PROJECT_VERSION})
  set(QELV_PC_LIBDIR ${CMAKE_INSTALL_LIBDIR})
  set(QELV_PC_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR})
  configure_file(${CMAKE_SOURCE_DIR}/cmake/qelv.pc.in ${CMAKE_BINARY_DIR}/qelv.pc @ONLY)")
install(FILES ${CMAKE_BINARY_DIR}/qelv.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
