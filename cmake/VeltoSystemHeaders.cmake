# Header-only libraries from Debian's /usr/include for both builds. The Windows
# cross-compiler must not search /usr/include as a whole, so a folder of the build tree
# holds a link to the library's own folder alone.

# velto_system_headers(TARGET HEADER): an interface target whose include path holds the
# folder of /usr/include/HEADER (say rapidjson/reader.h) under its own name.
function(velto_system_headers target header)
  find_path(${target}_DIR ${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  cmake_path(GET header PARENT_PATH folder)
  set(include_dir ${CMAKE_BINARY_DIR}/${folder}-include)
  file(MAKE_DIRECTORY ${include_dir})
  file(CREATE_LINK ${${target}_DIR}/${folder} ${include_dir}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${include_dir})
endfunction()
