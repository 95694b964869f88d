# Compiler settings shared by every target of the project.

if((VELTO_SANITIZE AND VELTO_TSAN) OR (VELTO_FUZZ AND (VELTO_SANITIZE OR VELTO_TSAN)))
  message(FATAL_ERROR "VELTO_SANITIZE, VELTO_TSAN and VELTO_FUZZ cannot be combined")
endif()
if(VELTO_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "VELTO_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
endif()

# Warnings are errors in our own scripts' builds (scripts/test turns this on), never in a
# user's plain build, where a newer compiler's new warning must not stop it.
option(VELTO_WERROR "Treat compiler warnings as errors" OFF)
set(VELTO_WERROR_FLAG $<$<BOOL:${VELTO_WERROR}>:-Werror>)
set(VELTO_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor ${VELTO_WERROR_FLAG})
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # `box <= value` is the JSON box's write, used as a statement; clang takes it for a
  # comparison whose result is dropped.
  list(APPEND VELTO_WARNINGS -Wno-unused-comparison)
endif()

if(VELTO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VELTO_FUZZ)
  # Every unit is instrumented for coverage; only the fuzz programs link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VELTO_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Applies the project's warnings (as errors) to a target of our own.
function(velto_defaults target)
  target_compile_options(${target} PRIVATE ${VELTO_WARNINGS})
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  endif()
endfunction()
