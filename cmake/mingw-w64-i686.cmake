# Cross build for 32-bit Windows with Debian's MinGW-w64, for the many hosts that
# are still 32-bit programs (a 32-bit process cannot load a 64-bit DLL). The
# -posix compilers are used for the same reason as in the 64-bit toolchain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORVOX_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVOX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVOX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVOX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORVOX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Windows tests run under Wine through our runner (private prefix, one wineserver).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
