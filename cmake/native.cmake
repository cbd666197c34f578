# The native tool and its libraries.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(KISSFFT REQUIRED IMPORTED_TARGET kissfft-float)
find_package(SDL2 REQUIRED)

qelv_sources(PLAYER_SOURCES player)
add_library(qelv_player STATIC ${PLAYER_SOURCES} ${CMAKE_SOURCE_DIR}/player/sample_stream.h)
target_link_libraries(qelv_player PUBLIC qelv_engine PkgConfig::SNDFILE PkgConfig::KISSFFT)

# The tool's commands live in a library so that the tests can drive them too.
qelv_sources(NATIVE_SOURCES platform/native)
qelv_sources(QELV_APP_SOURCES apps/qelv)
list(FILTER QELV_APP_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(qelv_app STATIC ${QELV_APP_SOURCES} ${NATIVE_SOURCES})
target_link_libraries(qelv_app PUBLIC qelv_headless qelv_player SDL2::SDL2)

add_executable(qelv apps/qelv/main.cpp)
target_link_libraries(qelv PRIVATE qelv_app)

# Speed targets live in benchmarks, never in timed tests.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
  add_executable(qelv_bench ${BENCH_SOURCES})
  target_link_libraries(qelv_bench PRIVATE qelv_headless qelv_player benchmark::benchmark)
endif()
