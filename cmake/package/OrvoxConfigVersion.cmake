# Version check at the package root: the answer of the host's architecture.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  include("${CMAKE_CURRENT_LIST_DIR}/lib/x64/cmake/OrvoxConfigVersion.cmake")
else()
  include("${CMAKE_CURRENT_LIST_DIR}/lib/x86/cmake/OrvoxConfigVersion.cmake")
endif()
