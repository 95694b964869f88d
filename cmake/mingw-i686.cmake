# Cross-build for 32-bit Windows (the primary product) with the posix-thread mingw-w64
# toolchain; its programs run under Wine's 32-bit loader.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELTO_MINGW_TRIPLE i686-w64-mingw32)
set(VELTO_WINE_LOADER_NAME wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
