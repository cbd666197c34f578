# One GoogleTest binary per folder of tests/.
if(WIN32)
  # Debian ships the GoogleTest sources; build them with the cross compiler.
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(QELV_GTEST gtest gmock gtest_main)
else()
  find_package(GTest REQUIRED)
  set(QELV_GTEST GTest::gtest GTest::gmock GTest::gtest_main)
endif()
include(GoogleTest)

function(qelv_test_binary folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${folder}_tests ${sources})
  target_link_libraries(${folder}_tests PRIVATE qelv_plugin qelv_headless ${ARGN} ${QELV_GTEST})
  if(WIN32)
    # Under Wine a whole binary is one test: discovery would boot Wine once more per binary.
    add_test(NAME windows.${folder}_tests COMMAND ${folder}_tests)
  else()
    gtest_discover_tests(${folder}_tests DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

foreach(folder engine effects output ui plugin)
  qelv_test_binary(${folder})
endforeach()

if(WIN32)
  # scripts/wine-env.sh starts one persistent wineserver with its services before ctest
  # runs, so no test boots its own.
  file(GLOB wine_scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.sh)
  foreach(script ${wine_scripts})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME wine.${name} COMMAND sh ${script} $<TARGET_FILE:testhost> $<TARGET_FILE:qelv>)
  endforeach()
else()
  qelv_test_binary(player qelv_player)
  qelv_test_binary(host qelv_host)
  qelv_test_binary(apps qelv_app)
  # The library as a program meets it: its header and the shared library, with the tool's
  # own frames to compare against.
  qelv_test_binary(capi qelv_library qelv_player)
  target_compile_definitions(capi_tests PRIVATE QELV_TOOL="$<TARGET_FILE:qelv>"
                             QELV_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  if(NOT QELV_TSAN)  # the thread-sanitizer stage runs only the threads' tests, which need no tool
    add_dependencies(capi_tests qelv)
  endif()
  add_test(NAME capi.exports COMMAND sh ${CMAKE_SOURCE_DIR}/tests/capi/exports_test.sh $<TARGET_FILE:qelv_library>
                                   ${CMAKE_SOURCE_DIR}/include/qelv/qelv.h)
  if(NOT QELV_SANITIZE AND NOT QELV_TSAN)
    # A third party's build, which a sanitizer runtime in the library would refuse to load into.
    add_test(NAME capi.install_and_examples
             COMMAND sh ${CMAKE_SOURCE_DIR}/tests/capi/install_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
    set_tests_properties(capi.install_and_examples PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
  endif()
  # The GStreamer element through GStreamer's own tools and pipelines, with the tool's
  # frames to compare against. Debian's GObject introspection is for its own python3.
  # Not with the thread sanitizer: GStreamer's own threads are not instrumented.
  if(TARGET gstqelv AND NOT QELV_TSAN)
    set(qelv_gst_env GST_PLUGIN_PATH=${CMAKE_BINARY_DIR}/gst G_DEBUG=fatal-criticals)
    if(QELV_SANITIZE)
      # GStreamer's programs load the instrumented element only with the sanitizers'
      # runtimes loaded first; what GStreamer and Python leave allocated is not ours.
      execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=libasan.so OUTPUT_VARIABLE asan
                      OUTPUT_STRIP_TRAILING_WHITESPACE)
      execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=libubsan.so OUTPUT_VARIABLE ubsan
                      OUTPUT_STRIP_TRAILING_WHITESPACE)
      list(APPEND qelv_gst_env LD_PRELOAD=${asan}:${ubsan} ASAN_OPTIONS=detect_leaks=0)
    endif()
    add_test(NAME gst.element COMMAND sh ${CMAKE_SOURCE_DIR}/tests/gst/element_test.sh $<TARGET_FILE:qelv>)
    add_test(NAME gst.stream COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/gst/stream_test.py
                                     $<TARGET_FILE:qelv> ${CMAKE_SOURCE_DIR})
    add_test(NAME gst.playbin COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/gst/playbin_test.py $<TARGET_FILE:qelv>)
    set_tests_properties(gst.element gst.stream gst.playbin PROPERTIES TIMEOUT 300 ENVIRONMENT "${qelv_gst_env}")
  endif()
  # Scripts that drive the built tool with real services of their own.
  file(GLOB native_scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.sh)
  foreach(script ${native_scripts})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME native.${name} COMMAND sh ${script} $<TARGET_FILE:qelv>)
    set_tests_properties(native.${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
  endforeach()
endif()

if(WIN32)
  # The plug-in as a host sees it before loading it; needs no Wine, so it runs in both modes.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(qelv_pe_format pei-i386)
  else()
    set(qelv_pe_format pei-x86-64)
  endif()
  add_test(NAME windows.dll_static_check
           COMMAND sh ${CMAKE_SOURCE_DIR}/tests/windows/dll_static_check.sh ${CMAKE_OBJDUMP}
                   $<TARGET_FILE:qelv> ${qelv_pe_format})
  set_tests_properties(windows.dll_static_check PROPERTIES LABELS static)
endif()
