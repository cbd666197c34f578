# The native tool and its libraries.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(KISSFFT REQUIRED IMPORTED_TARGET kissfft-float)
# Audio containers and codecs that libsndfile does not read, decoded in process.
pkg_check_modules(LIBAV REQUIRED IMPORTED_TARGET libavformat libavcodec libswresample libavutil)
find_package(SDL2 REQUIRED)
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
# Live sound in: the PulseAudio client, which PipeWire's pulse server answers as well.
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)
# Asked whether the X window manager takes windows full screen, which SDL does not tell.
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)

# The native control panel reads its dialog templates from the resource script itself.
set(QELV_TEMPLATE_FILES ${CMAKE_SOURCE_DIR}/ui/qelv.rc ${CMAKE_SOURCE_DIR}/ui/resource_ids.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QELV_TEMPLATE_FILES})
file(READ ${CMAKE_SOURCE_DIR}/ui/qelv.rc QELV_RC_TEXT)
file(READ ${CMAKE_SOURCE_DIR}/ui/resource_ids.h QELV_IDS_TEXT)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/dialog_template_text.h
     CONTENT "#pragma once\ninline constexpr char kResourceScript[] = R\"rc(@QELV_RC_TEXT@)rc\";\ninline constexpr char kResourceIds[] = R\"rc(@QELV_IDS_TEXT@)rc\";\n"
     @ONLY)

qelv_sources(PLAYER_SOURCES player)
add_library(qelv_player STATIC ${PLAYER_SOURCES} ${CMAKE_SOURCE_DIR}/player/sample_stream.h)
target_link_libraries(qelv_player PUBLIC qelv_engine PkgConfig::SNDFILE PkgConfig::KISSFFT PkgConfig::LIBAV)

# What the tool and the library share: preset files in both forms and the shipped
# presets, the default chain, soft preset changes, and audio fed as a player has it drawn
# into frames at their times.
qelv_sources(HOST_SOURCES host)
# Where the tool's own messages go, which the preset readers here print as well.
set(QELV_TOOL_MESSAGES ${CMAKE_SOURCE_DIR}/backends/native/tool_messages.cpp)
add_library(qelv_host STATIC ${HOST_SOURCES} ${QELV_TOOL_MESSAGES})
target_link_libraries(qelv_host PUBLIC qelv_player)
# A preset by name is looked for beside the installed tool or library first, then in the
# source tree, so that a run from the build tree finds the shipped presets too.
include(GNUInstallDirs)
set(QELV_PRESET_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/qelv/presets)
file(RELATIVE_PATH QELV_PRESETS_FROM_LIBDIR /prefix/${CMAKE_INSTALL_LIBDIR} /prefix/${QELV_PRESET_INSTALL_DIR})
target_compile_definitions(qelv_host PRIVATE QELV_PRESET_INSTALL_DIR="${QELV_PRESET_INSTALL_DIR}"
                           QELV_PRESETS_FROM_LIBDIR="${QELV_PRESETS_FROM_LIBDIR}"
                           QELV_SOURCE_PRESETS="${CMAKE_SOURCE_DIR}/presets")

# libqelv and its C interface.
include(cmake/library.cmake)

# The tool's commands live in a library so that the tests can drive them too.
qelv_sources(NATIVE_SOURCES backends/native)
list(REMOVE_ITEM NATIVE_SOURCES ${QELV_TOOL_MESSAGES})
qelv_sources(QELV_APP_SOURCES apps/qelv apps/qelv/render apps/qelv/play apps/qelv/analyze apps/qelv/preset)
list(FILTER QELV_APP_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(qelv_app STATIC ${QELV_APP_SOURCES} ${NATIVE_SOURCES})
target_link_libraries(qelv_app PUBLIC qelv_headless qelv_host PkgConfig::IMGUI SDL2::SDL2 PkgConfig::PULSE PkgConfig::X11)
target_include_directories(qelv_app PRIVATE ${CMAKE_BINARY_DIR}/generated)

add_executable(qelv apps/qelv/main.cpp)
target_link_libraries(qelv PRIVATE qelv_app)
target_compile_definitions(qelv PRIVATE QELV_VERSION="${PROJECT_VERSION}")
include(cmake/desktop.cmake)
include(cmake/packaging.cmake)
include(cmake/gstreamer.cmake)

# The lag from a click to its frame, against a running sound server: scripts/measure-lag.sh.
# Its clicks are played through the simple client, which comes with the PulseAudio client.
pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
add_executable(qelv_capture_lag EXCLUDE_FROM_ALL bench/lag/capture_lag.cpp)
target_link_libraries(qelv_capture_lag PRIVATE qelv_app PkgConfig::PULSE_SIMPLE)

# Speed targets live in benchmarks, never in timed tests.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
  add_executable(qelv_bench ${BENCH_SOURCES})
  target_link_libraries(qelv_bench PRIVATE qelv_app benchmark::benchmark)
endif()
