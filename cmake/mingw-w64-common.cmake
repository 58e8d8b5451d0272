# The MinGW-w64 cross build shared by both architectures; the toolchain file of
# each sets CMAKE_SYSTEM_PROCESSOR and ORVOX_MINGW_TRIPLE first. The -posix
# compilers are used because the default thread model has no std::mutex
# (GoogleTest needs it).
set(CMAKE_SYSTEM_NAME Windows)
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
