# libtiff for Windows, cross-built once from Debian's own source package into a
# prefix inside the build folder and linked statically into Orvox.dll.
set(ORVOX_TIFF_PREFIX ${CMAKE_BINARY_DIR}/libtiff-prefix)
if(NOT EXISTS ${ORVOX_TIFF_PREFIX}/lib/libtiff.a)
  message(STATUS "Cross-building libtiff from Debian's source package")
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/tools/build-libtiff.sh ${CMAKE_BINARY_DIR}/libtiff-src ${ORVOX_TIFF_PREFIX}
            ${CMAKE_CURRENT_LIST_DIR}/mingw-w64-${CMAKE_SYSTEM_PROCESSOR}.cmake
    RESULT_VARIABLE tiff_result)
  if(NOT tiff_result EQUAL 0)
    message(FATAL_ERROR "libtiff cross build failed")
  endif()
endif()
add_library(orvox_tiff INTERFACE)
target_include_directories(orvox_tiff INTERFACE ${ORVOX_TIFF_PREFIX}/include)
target_link_libraries(orvox_tiff INTERFACE ${ORVOX_TIFF_PREFIX}/lib/libtiff.a
  /usr/${ORVOX_MINGW_TRIPLE}/lib/libz.a)
