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

# Under a cross-build every program of ours runs under Wine: the first Wine start makes
# the build folder's prefix, which tests started side by side must not race to do, so a
# fixture prepares it once and every Wine test needs it.
# VELTO_EMULATED: this build's programs run under Wine through user-mode emulation (qemu-i386
# where the kernel cannot run 32-bit code). A prefix made by Wine's 32-bit loader would run
# Wine's own services emulated too (a quarter of an hour to make, minutes per program start);
# wine64 makes a 64-bit prefix instead, whose services run natively and which runs the
# 32-bit programs all the same.
option(VELTO_EMULATED "this build's programs run under Wine through user-mode emulation" OFF)
if(CMAKE_CROSSCOMPILING AND BUILD_TESTING)
  set(velto_prefix_runner ${CMAKE_CROSSCOMPILING_EMULATOR})
  if(VELTO_EMULATED)
    find_program(VELTO_WINE64_LOADER NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine
                 NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    list(TRANSFORM velto_prefix_runner REPLACE "^VELTO_WINE_LOADER=.*"
         "VELTO_WINE_LOADER=${VELTO_WINE64_LOADER}")
  endif()
  add_test(NAME wine_prefix COMMAND ${velto_prefix_runner} wineboot -i)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix LABELS wine)
endif()

# Marks a test that runs a program of this build: under a cross-build it runs under Wine,
# needs the prepared prefix and carries the label "wine" (what a machine that cannot run
# the architecture's programs leaves out).
function(velto_wine_test name)
  if(CMAKE_CROSSCOMPILING)
    set_property(TEST ${name} APPEND PROPERTY LABELS wine)
    set_property(TEST ${name} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix)
    # A program that dies of an unhandled exception may still end with status 0 under Wine.
    set_property(TEST ${name} APPEND PROPERTY FAIL_REGULAR_EXPRESSION "wine: Unhandled exception")
  endif()
endfunction()

# Gathers a test program under one build target per label ("velto_tests_LABEL"), so a run
# that tests one label builds only the programs it runs.
function(velto_label_program name)
  foreach(label IN LISTS ARGN)
    if(NOT TARGET velto_tests_${label})
      add_custom_target(velto_tests_${label})
    endif()
    add_dependencies(velto_tests_${label} ${name})
  endforeach()
endfunction()

# velto_add_test(NAME SOURCES file... [LIBS lib...] [LABELS label...])
# One test program; on Linux its cases are discovered one by one, under Wine the
# program runs once as a whole (starting Wine per case would be too slow). Every program
# sees tests/support (ScratchPath, ScratchFolder).
function(velto_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  velto_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  velto_label_program(${name} ${ARG_LABELS})
  if(CMAKE_CROSSCOMPILING)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/whole_program_main.cpp)
    target_link_libraries(${name} PRIVATE GTest::gtest)
    add_test(NAME ${name} COMMAND ${name})
    # A program whose every case skipped exits 77 (whole_program_main.cpp).
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" SKIP_RETURN_CODE 77)
    velto_wine_test(${name})
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
