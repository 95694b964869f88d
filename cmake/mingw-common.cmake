# What the Windows cross-builds share; a toolchain file sets VELTO_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR, names the Wine loader that runs its programs, and includes this.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model gives std::thread and std::mutex (and GoogleTest) their threads.
set(CMAKE_C_COMPILER ${VELTO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELTO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELTO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELTO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go inside every binary, so the DLL needs only
# the system's own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine with a prefix private to this build folder, so that two
# builds never share a prefix or its wineserver; builds tested one after the other may
# name one prefix (VELTO_WINE_PREFIX) and make it only once. Debian keeps the loaders off
# the PATH.
find_program(VELTO_WINE_LOADER NAMES ${VELTO_WINE_LOADER_NAME}
             PATHS /usr/lib/wine /usr/lib64/wine /usr/lib32/wine NO_CMAKE_FIND_ROOT_PATH)
set(VELTO_WINE_PREFIX ${CMAKE_BINARY_DIR}/.wine CACHE PATH "the Wine prefix the tests run in")
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env WINEPREFIX=${VELTO_WINE_PREFIX}
    VELTO_WINE_LOADER=${VELTO_WINE_LOADER} ${CMAKE_CURRENT_LIST_DIR}/wine-run)
