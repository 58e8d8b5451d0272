# Native (Linux) build: the portable core and its unit tests, with sanitizers.
# The benchmark flavour turns them off (ORVOX_SANITIZERS=OFF).
option(ORVOX_SANITIZERS "Build with AddressSanitizer and UBSan" ON)
if(ORVOX_SANITIZERS)
  set(ORVOX_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_compile_options(${ORVOX_SANITIZE})
  add_link_options(${ORVOX_SANITIZE})
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports false maybe-uninitialized warnings inside <regex> and
  # <functional> once the sanitizers instrument them; keep them visible, not fatal.
  add_compile_options(-Wno-error=maybe-uninitialized)
endif()

find_package(GTest REQUIRED)
find_package(TIFF REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/core.cmake)

if(TARGET orvox_unit_tests)
add_test(NAME unit.native COMMAND orvox_unit_tests)
set_tests_properties(unit.native PROPERTIES
  ENVIRONMENT "ORVOX_RES_FILE=${ORVOX_RES_FILE};ORVOX_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endif()

if(TARGET orvox_submit_tests)
add_test(NAME unit.submit.native COMMAND orvox_submit_tests)
set_tests_properties(unit.submit.native PROPERTIES TIMEOUT 120)
endif()

option(ORVOX_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(ORVOX_FUZZ)
  add_subdirectory(tests/fuzz)
endif()
