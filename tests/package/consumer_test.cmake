# Installs the build into a fresh folder, then builds a host program against the installed
# tree twice, as another project would: through find_package(VeltoBox) and through
# pkg-config; each program is run (under Wine for a Windows build).
# Usage: cmake -DBUILD_DIR=... -DWORK_DIR=... -DHOST_SOURCE=... -DC_COMPILER=...
#              [-DTOOLCHAIN_FILE=...] [-DEMULATOR=...] [-DFLAGS=...] -P consumer_test.cmake
cmake_minimum_required(VERSION 3.25)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}")
  endif()
endfunction()

set(prefix ${WORK_DIR}/installed)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# find_package
set(toolchain)
if(TOOLCHAIN_FILE)
  # A cross-build looks for packages only below its system root; name the package's folder.
  set(toolchain -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE} -DVeltoBox_DIR=${prefix}/lib/cmake/VeltoBox)
endif()
run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/consumer -B ${WORK_DIR}/cmake-host -G Ninja
    ${toolchain} -DCMAKE_PREFIX_PATH=${prefix} -DHOST_SOURCE=${HOST_SOURCE}
    "-DCMAKE_C_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-host)
file(GLOB cmake_host ${WORK_DIR}/cmake-host/host ${WORK_DIR}/cmake-host/host.exe)
run(${EMULATOR} ${cmake_host})

# pkg-config
file(GLOB_RECURSE pc_file ${prefix}/velto-box.pc)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
execute_process(COMMAND pkg-config --cflags --libs velto-box OUTPUT_VARIABLE pc_flags
                RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0 OR NOT pc_flags)
  message(FATAL_ERROR "pkg-config does not know velto-box (${pc_dir})")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(flags UNIX_COMMAND "${FLAGS}")
set(pc_host ${WORK_DIR}/pkg-config-host/host)
file(MAKE_DIRECTORY ${WORK_DIR}/pkg-config-host)
if(TOOLCHAIN_FILE)
  set(pc_host ${pc_host}.exe)
  file(GLOB dll ${prefix}/bin/*.dll)
  file(COPY ${dll} DESTINATION ${WORK_DIR}/pkg-config-host)
  # ws2_32: the host program's own sockets
  run(${C_COMPILER} ${flags} ${HOST_SOURCE} ${pc_flags} -lws2_32 -o ${pc_host})
else()
  # The program finds the library where the installed tree keeps it.
  string(REGEX MATCH "-L[^;]+" libdir "${pc_flags}")
  string(SUBSTRING "${libdir}" 2 -1 libdir)
  run(${C_COMPILER} ${flags} ${HOST_SOURCE} ${pc_flags} -Wl,-rpath,${libdir} -o ${pc_host})
endif()
run(${EMULATOR} ${pc_host})
message(STATUS "both host builds against ${prefix} built and ran")
