# Makes the Debian packages of the build with CPack and checks each: its name, what it
# depends on and the files it installs.
# Usage: cmake -DBUILD_DIR=... -DWORK_DIR=... -P debian_test.cmake
cmake_minimum_required(VERSION 3.25)

function(run output)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}${err}")
  endif()
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

# package, what its Depends must name (or ""), then files it must hold
function(expect_package package depends)
  file(GLOB deb ${WORK_DIR}/${package}_*.deb)
  if(NOT deb)
    message(FATAL_ERROR "no package ${package} in ${WORK_DIR}")
  endif()
  run(fields dpkg-deb --field ${deb} Package Depends)
  if(NOT fields MATCHES "Package: ${package}\n")
    message(FATAL_ERROR "${deb} is not ${package}:\n${fields}")
  endif()
  if(depends AND NOT fields MATCHES "Depends:[^\n]*${depends}")
    message(FATAL_ERROR "${package} does not depend on ${depends}:\n${fields}")
  endif()
  run(contents dpkg-deb --contents ${deb})
  foreach(file ${ARGN})
    if(NOT contents MATCHES " \\./usr/${file}\n")
      message(FATAL_ERROR "${package} holds no /usr/${file}:\n${contents}")
    endif()
  endforeach()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
run(out cpack -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR})
expect_package(libvelto-box libc6 "lib[^ ]*/libvelto-box\\.so" "include/velto_box\\.h"
               "lib[^ ]*/pkgconfig/velto-box\\.pc" "lib[^ ]*/cmake/VeltoBox/VeltoBoxConfig\\.cmake")
expect_package(velto libvelto-box "bin/velto")
expect_package(velto-server libsqlite3 "bin/velto-server")
