# Cross-compiles the 64-bit Windows build with MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TIVORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(TIVORA_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
