# The page's module: the engine, the preset readers, the tool's audio analysis and the C
# interface of include/qelv/qelv.h, compiled to WebAssembly. scripts/build-web.sh
# configures this with emcmake and puts the module beside the page of web/.
# Only what the library needs of the player's folder: the analysis and reading files.
set(QELV_WEB_PLAYER_SOURCES audio_analysis spectrum_scale track_analyser input_file file_kind)
list(TRANSFORM QELV_WEB_PLAYER_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/player/)
list(TRANSFORM QELV_WEB_PLAYER_SOURCES APPEND .cpp)

# kissfft as Debian's source package has it (the C sources are not in libkissfft-dev),
# built with the float samples Debian's kissfft-float has.
set(QELV_KISSFFT_SOURCE_DIR "" CACHE PATH "kissfft's sources, unpacked from Debian's source package")
if(NOT EXISTS ${QELV_KISSFFT_SOURCE_DIR}/kiss_fftr.c)
  message(FATAL_ERROR "QELV_KISSFFT_SOURCE_DIR must hold kissfft's sources (scripts/build-web.sh fetches them)")
endif()
add_library(qelv_kissfft STATIC ${QELV_KISSFFT_SOURCE_DIR}/kiss_fft.c ${QELV_KISSFFT_SOURCE_DIR}/kiss_fftr.c)
target_compile_definitions(qelv_kissfft PUBLIC kiss_fft_scalar=float)
target_include_directories(qelv_kissfft PUBLIC ${QELV_KISSFFT_SOURCE_DIR})
target_compile_options(qelv_kissfft PRIVATE -w)

# The engine's packed paths are written with SSE2 intrinsics, which emscripten turns into
# WebAssembly SIMD; the exactness test compares the page's frames with the tool's.
target_compile_options(qelv_engine PUBLIC -msimd128 -msse2)

qelv_sources(HOST_SOURCES host)
qelv_sources(CAPI_SOURCES capi)
# The messages the preset readers print go to the browser's console.
set(QELV_TOOL_MESSAGES ${CMAKE_SOURCE_DIR}/backends/native/tool_messages.cpp)
add_executable(qelv_web ${QELV_WEB_PLAYER_SOURCES} ${HOST_SOURCES} ${QELV_TOOL_MESSAGES} ${CAPI_SOURCES})
# The JSON reader's header-only library (nlohmann-json3-dev), seen alone: the rest of the
# machine's /usr/include is not for this target.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/json)
file(CREATE_LINK /usr/include/nlohmann ${CMAKE_BINARY_DIR}/json/nlohmann SYMBOLIC)
target_include_directories(qelv_web PRIVATE ${CMAKE_SOURCE_DIR}/include)
target_include_directories(qelv_web SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/json)
# No shipped presets on a disk here: the page fetches them and loads them from memory.
target_compile_definitions(qelv_web PRIVATE QELV_PRESET_INSTALL_DIR="share/qelv/presets"
                           QELV_PRESETS_FROM_LIBDIR="../share/qelv/presets" QELV_SOURCE_PRESETS="/presets")
target_link_libraries(qelv_web PRIVATE qelv_engine qelv_kissfft)
set_target_properties(qelv_web PROPERTIES OUTPUT_NAME qelv SUFFIX .js)
# One boundary: the page calls the qelv_ functions and nothing else.
file(STRINGS ${CMAKE_SOURCE_DIR}/include/qelv/qelv.h qelv_api_lines REGEX "^QELV_API ")
set(qelv_exports _malloc _free)
foreach(line ${qelv_api_lines})
  string(REGEX MATCH "(qelv_[a-z0-9_]+)\\(" name "${line}")
  list(APPEND qelv_exports _${CMAKE_MATCH_1})
endforeach()
list(JOIN qelv_exports "," qelv_exports)
target_link_options(qelv_web PRIVATE -sMODULARIZE=1 -sEXPORT_NAME=createQelvModule -sENVIRONMENT=web
                    -sALLOW_MEMORY_GROWTH=1 -sEXPORTED_FUNCTIONS=${qelv_exports}
                    -sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToUTF8,lengthBytesUTF8 --closure=0)
set_property(TARGET qelv_web APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/include/qelv/qelv.h)
