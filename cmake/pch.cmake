# Precompiled headers. Nearly every C++ file of the tree parses <windows.h> (most through ovrin.h),
# and mingw-w64's takes about nine tenths of a typical file's compile time; the test files add the
# test framework's header. Each is parsed once per tree and reused by every C++ target. A target
# whose flags do not fit a precompiled header parses the header as text (-Winvalid-pch says so), so
# the result never depends on it. (The tests' small C modules do without: see tests/plugins.)
add_library(ovrin_pch OBJECT ${CMAKE_CURRENT_LIST_DIR}/pch.cpp)
target_precompile_headers(ovrin_pch PRIVATE <windows.h>)

# ovrin_reuse_pch(<target>... [TESTS]): the targets' files start from the shared header; with TESTS,
# from the one that holds the test framework too, compiled with OVRIN_TEST_COMPILE_OPTIONS as the
# test programs are.
function(ovrin_reuse_pch)
  cmake_parse_arguments(P "TESTS" "" "" ${ARGN})
  set(_donor ovrin_pch)
  if(P_TESTS)
    if(NOT TARGET ovrin_test_pch)
      add_library(ovrin_test_pch OBJECT ${CMAKE_SOURCE_DIR}/cmake/pch.cpp)
      target_link_libraries(ovrin_test_pch PRIVATE GTest::gtest)
      target_compile_options(ovrin_test_pch PRIVATE ${OVRIN_TEST_COMPILE_OPTIONS})
      target_precompile_headers(ovrin_test_pch PRIVATE <windows.h> <gtest/gtest.h>)
    endif()
    set(_donor ovrin_test_pch)
  endif()
  foreach(_target IN LISTS P_UNPARSED_ARGUMENTS)
    target_precompile_headers(${_target} REUSE_FROM ${_donor})
  endforeach()
endfunction()
