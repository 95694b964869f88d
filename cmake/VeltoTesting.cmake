# GoogleTest for both configurations: Debian's build on Linux, compiled from
# /usr/src/googletest for the Windows cross-build.

include(CTest)

if(BUILD_TESTING AND NOT TARGET GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# velto_add_test(NAME SOURCES file... [LIBS lib...] [LABELS label...])
# One test program; on Linux its cases are discovered one by one, under Wine the
# program runs once as a whole (starting Wine per case would be too slow).
function(velto_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  velto_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS};wine")
  else()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
