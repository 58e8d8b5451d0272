# Orvox for CMake hosts, package root: hands over to the configuration of the
# host's architecture, so that CMAKE_PREFIX_PATH may name the package folder itself.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  include("${CMAKE_CURRENT_LIST_DIR}/lib/x64/cmake/OrvoxConfig.cmake")
else()
  include("${CMAKE_CURRENT_LIST_DIR}/lib/x86/cmake/OrvoxConfig.cmake")
endif()
