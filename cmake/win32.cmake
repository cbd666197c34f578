# The plug-in DLL and the stand-in host.
qelv_sources(WIN32_SOURCES backends/win32)
file(GLOB WIN32_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/*.rc)
add_library(qelv SHARED ${WIN32_SOURCES} ${WIN32_RESOURCES})
set_target_properties(qelv PROPERTIES PREFIX "" OUTPUT_NAME qelv)
# Only the entry point is exported, whatever else the engine marks.
target_link_options(qelv PRIVATE -Wl,--exclude-all-symbols)
target_link_libraries(qelv PRIVATE -Wl,--whole-archive qelv_plugin qelv_engine -Wl,--no-whole-archive
                      ddraw gdi32 user32 comdlg32 comctl32 kernel32)

add_executable(testhost apps/testhost/main.cpp)
target_link_libraries(testhost PRIVATE user32 kernel32)

# The shipped presets in a presets folder beside qelv.dll, where the control panel's
# load and save start, so that the build tree looks like an installed plug-in.
file(GLOB QELV_PRESET_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/presets/*.qlp)
add_custom_command(TARGET qelv POST_BUILD
                   COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:qelv>/presets
                   COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QELV_PRESET_FILES} $<TARGET_FILE_DIR:qelv>/presets
                   VERBATIM)
include(cmake/packaging.cmake)
