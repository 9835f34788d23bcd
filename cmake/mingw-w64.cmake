# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (GCC with POSIX
# threads: g++-mingw-w64-x86-64-posix). Used for Qt, and for Tessmark itself:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSMARK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSMARK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSMARK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSMARK_MINGW}-windres)
set(CMAKE_AR ${TESSMARK_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TESSMARK_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the MinGW tree (and from whatever the caller
# adds to CMAKE_FIND_ROOT_PATH, such as a cross-built Qt); programs from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TESSMARK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
