# Cross-compiles the 32-bit Windows build with MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TIVORA_MINGW_TRIPLE i686-w64-mingw32)
set(TIVORA_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
