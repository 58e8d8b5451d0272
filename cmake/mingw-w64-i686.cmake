# Cross build for 32-bit Windows with Debian's MinGW-w64, for the many hosts that
# are still 32-bit programs (a 32-bit process cannot load a 64-bit DLL).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORVOX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
