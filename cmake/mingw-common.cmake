# Shared part of the MinGW-w64 toolchain files: compilers, resource compiler, search roots.
set(CMAKE_C_COMPILER ${TIVORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TIVORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TIVORA_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TIVORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run through Wine, on a virtual display, in a throw-away copy of the template prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run --arch=${TIVORA_WINE_ARCH})
