# What a user installs: the native tool with its presets and README as a Debian package,
# or the plug-in with its presets as a zip. Included by native.cmake and win32.cmake once
# their targets exist.
file(GLOB QELV_SHIPPED_PRESETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/presets/*.qlp)

set(CPACK_PACKAGE_NAME qelv)
set(CPACK_PACKAGE_VENDOR "Qelv")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Real-time music visualiser")
set(CPACK_PACKAGE_CONTACT "Qelv developers <qelv@localhost>")
set(CPACK_RESOURCE_FILE_README ${CMAKE_SOURCE_DIR}/README.md)

if(WIN32)
  # Everything at the top of the zip: the DLL, presets\ beside it, and how to install.
  install(TARGETS qelv RUNTIME DESTINATION . LIBRARY DESTINATION .)
  install(FILES ${QELV_SHIPPED_PRESETS} DESTINATION presets)
  install(FILES ${CMAKE_SOURCE_DIR}/cmake/INSTALL-plugin.txt DESTINATION . RENAME INSTALL.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME qelv-plugin-${CPACK_PACKAGE_VERSION}-win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  install(TARGETS qelv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${QELV_SHIPPED_PRESETS} DESTINATION ${QELV_PRESET_INSTALL_DIR})
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  # The shared libraries the tool links against become the package's dependencies.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # libqelv goes in too, with its header, pkg-config file and CMake package: a shlibs
  # file lets packages built against it depend on this one, and ldconfig runs on install.
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  # Videos (--out FILE.mp4) are made with ffmpeg when it is there.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS ffmpeg)
endif()
include(CPack)
