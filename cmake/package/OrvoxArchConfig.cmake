# Orvox for CMake hosts, one architecture (installed as lib/<arch>/cmake/OrvoxConfig.cmake).
# Defines the imported target Orvox::Orvox: the header folder, the DLL and the
# import library of the host's toolchain (Orvox.lib for MSVC, libOrvox.dll.a for MinGW).
get_filename_component(_orvox_lib "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
get_filename_component(_orvox_arch "${_orvox_lib}" NAME)
get_filename_component(_orvox_root "${_orvox_lib}/../.." ABSOLUTE)

if(NOT TARGET Orvox::Orvox)
  add_library(Orvox::Orvox SHARED IMPORTED)
  if(MSVC)
    set(_orvox_implib "${_orvox_lib}/Orvox.lib")
  else()
    set(_orvox_implib "${_orvox_lib}/libOrvox.dll.a")
  endif()
  set_target_properties(Orvox::Orvox PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${_orvox_root}/include"
    IMPORTED_LOCATION "${_orvox_root}/bin/${_orvox_arch}/Orvox.dll"
    IMPORTED_IMPLIB "${_orvox_implib}")
  unset(_orvox_implib)
endif()
# The folder a host copies next to its executable: the DLLs and the installation data.
set(Orvox_RUNTIME_DIR "${_orvox_root}/bin/${_orvox_arch}")
set(Orvox_INCLUDE_DIRS "${_orvox_root}/include")
unset(_orvox_lib)
unset(_orvox_arch)
unset(_orvox_root)
