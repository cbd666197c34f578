# Files named *_avx2.cpp hold code that runs only after a processor check; the 64-bit
# builds compile them with AVX2, the 32-bit plug-in (SSE2 at most) leaves them empty.
function(qelv_avx2_sources)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|amd64")
    foreach(file ${ARGN})
      if(file MATCHES "_avx2\\.cpp$")
        set_source_files_properties(${file} PROPERTIES COMPILE_OPTIONS -mavx2)
      endif()
    endforeach()
  endif()
endfunction()
