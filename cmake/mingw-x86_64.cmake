# Cross-build for 64-bit Windows hosts with the posix-thread mingw-w64 toolchain; its
# programs run under wine64, which needs no 32-bit support from the machine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELTO_MINGW_TRIPLE x86_64-w64-mingw32)
set(VELTO_WINE_LOADER_NAME wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
