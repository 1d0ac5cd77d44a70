# uv_add_test(NAME SOURCES ... LIBS ...): one GoogleTest program, run by ctest
# as one test (under Wine for the Windows build). Each program writes its
# results as XML, which scripts/test counts case by case.
set(UV_TEST_XML_DIR ${CMAKE_BINARY_DIR}/test-results)
file(MAKE_DIRECTORY ${UV_TEST_XML_DIR})

function(uv_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  if(WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  add_test(NAME ${name}
           COMMAND ${name} --gtest_output=xml:${UV_TEST_XML_DIR}/${name}.xml
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# uv_glob_sources(VAR DIR): the portable *.cpp of DIR, plus its *_win.cpp in
# the Windows build. Portable files never include windows.h.
function(uv_glob_sources var dir)
  file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(out)
  foreach(f ${all})
    if(f MATCHES "_win\\.cpp$")
      if(WIN32)
        list(APPEND out ${f})
      endif()
    else()
      list(APPEND out ${f})
    endif()
  endforeach()
  set(${var} ${out} PARENT_SCOPE)
endfunction()

# uv_add_folder_tests(NAME DIR LIBS ...): one test program of every
# *_test.cpp in DIR (the *_win_test.cpp ones only in the Windows build).
function(uv_add_folder_tests name dir)
  cmake_parse_arguments(T "" "TIMEOUT" "LIBS" ${ARGN})
  file(GLOB all CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  set(srcs)
  foreach(f ${all})
    if(f MATCHES "_win_test\\.cpp$")
      if(WIN32)
        list(APPEND srcs ${f})
      endif()
    else()
      list(APPEND srcs ${f})
    endif()
  endforeach()
  if(srcs)
    uv_add_test(${name} SOURCES ${srcs} LIBS ${T_LIBS} TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
