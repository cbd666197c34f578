# The GStreamer element `qelv` (gst/, libgstqelv.so) over libqelv. Built only where
# GStreamer's development files are installed; the tool builds without them.
pkg_check_modules(GST IMPORTED_TARGET gstreamer-1.0 gstreamer-video-1.0)
if(NOT GST_FOUND)
  message(STATUS "GStreamer development files not found: the qelv element is not built")
  return()
endif()

# The shuffle picks among the shipped presets by name; the library finds their files.
set(qelv_names "")
foreach(preset ${QELV_SHIPPED_PRESETS})
  get_filename_component(name ${preset} NAME_WE)
  string(APPEND qelv_names "    \"${name}\",\n")
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/gst/shipped_preset_names.h
     CONTENT "#pragma once\nstatic const char* const kShippedPresetNames[] = {\n@qelv_names@};\n" @ONLY)

file(GLOB GST_ELEMENT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/gst/*.c)
add_library(gstqelv MODULE ${GST_ELEMENT_SOURCES})
target_link_libraries(gstqelv PRIVATE qelv_library PkgConfig::GST)
target_include_directories(gstqelv PRIVATE ${CMAKE_BINARY_DIR}/generated/gst)
# A folder of its own in the build tree, so that GST_PLUGIN_PATH=build/native/gst finds it
# without GStreamer trying every other library there.
set_target_properties(gstqelv PROPERTIES C_STANDARD 11 C_VISIBILITY_PRESET hidden
                      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/gst)

# Installed where GStreamer looks for plug-ins, taken relative to GStreamer's own prefix:
# with the prefix /usr (as the .deb has it) that is GStreamer's plug-in folder itself, and
# `cmake --install --prefix DIR` keeps it inside DIR (GST_PLUGIN_PATH=DIR/... finds it).
pkg_get_variable(GST_PREFIX gstreamer-1.0 prefix)
pkg_get_variable(GST_PLUGINS_DIR gstreamer-1.0 pluginsdir)
file(RELATIVE_PATH qelv_gst_dir ${GST_PREFIX} ${GST_PLUGINS_DIR})
if(qelv_gst_dir MATCHES "^\\.\\.")
  set(qelv_gst_dir ${GST_PLUGINS_DIR})  # a GStreamer whose plug-ins lie outside its prefix
endif()
set(QELV_GST_PLUGIN_DIR ${qelv_gst_dir} CACHE STRING "Where the GStreamer element is installed, relative to the prefix")
# The installed element finds the libqelv installed with it, whatever the prefix.
if(IS_ABSOLUTE ${QELV_GST_PLUGIN_DIR})
  set(qelv_gst_full ${QELV_GST_PLUGIN_DIR})
else()
  set(qelv_gst_full ${CMAKE_INSTALL_PREFIX}/${QELV_GST_PLUGIN_DIR})
endif()
file(RELATIVE_PATH qelv_lib_from_plugins ${qelv_gst_full} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(gstqelv PROPERTIES INSTALL_RPATH "$ORIGIN/${qelv_lib_from_plugins}")
install(TARGETS gstqelv LIBRARY DESTINATION ${QELV_GST_PLUGIN_DIR})
