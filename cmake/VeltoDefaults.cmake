# Compiler settings shared by every target of the project.

if(VELTO_SANITIZE AND VELTO_TSAN)
  message(FATAL_ERROR "VELTO_SANITIZE and VELTO_TSAN cannot be combined")
endif()

# Warnings are errors in our own scripts' builds (scripts/test turns this on), never in a
# user's plain build, where a newer compiler's new warning must not stop it.
option(VELTO_WERROR "Treat compiler warnings as errors" OFF)
set(VELTO_WERROR_FLAG $<$<BOOL:${VELTO_WERROR}>:-Werror>)
set(VELTO_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor ${VELTO_WERROR_FLAG})

if(VELTO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
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
