# The portable core: settings/ and print/ with the standard-C++ platform
# implementations. Built natively for the unit tests and cross for the DLL.
file(GLOB ORVOX_CORE_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/settings/*.cpp
  ${PROJECT_SOURCE_DIR}/print/*.cpp
  ${PROJECT_SOURCE_DIR}/ui/portable/*.cpp)
file(GLOB ORVOX_PORTABLE_PLATFORM_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/platform/posix/*.cpp)

add_library(orvox_core STATIC ${ORVOX_CORE_SOURCES})
target_include_directories(orvox_core PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/resources)
target_compile_options(orvox_core PRIVATE ${ORVOX_WARNINGS})
# The TIFF conversion reads and writes TIFF through libtiff: Debian's natively,
# the cross-built static one for Windows.
if(WIN32)
  target_link_libraries(orvox_core PUBLIC orvox_tiff)
else()
  target_link_libraries(orvox_core PUBLIC TIFF::TIFF)
endif()

add_library(orvox_portable_platform STATIC ${ORVOX_PORTABLE_PLATFORM_SOURCES})
target_include_directories(orvox_portable_platform PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/resources)
target_compile_options(orvox_portable_platform PRIVATE ${ORVOX_WARNINGS})

# The resource module's string table, compiled to a .res that tests read directly,
# so the texts a test checks are the ones that ship.
find_program(ORVOX_WINDRES NAMES x86_64-w64-mingw32-windres REQUIRED)
file(GLOB ORVOX_RC_DEPENDS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*.rc ${PROJECT_SOURCE_DIR}/resources/*.h ${PROJECT_SOURCE_DIR}/resources/bitmaps/*.bmp)
set(ORVOX_RES_FILE ${CMAKE_BINARY_DIR}/orvoxRes.res)
add_custom_command(OUTPUT ${ORVOX_RES_FILE}
  COMMAND ${ORVOX_WINDRES} -I ${PROJECT_SOURCE_DIR}/resources -O res
          -i ${PROJECT_SOURCE_DIR}/resources/orvoxRes.rc -o ${ORVOX_RES_FILE}
  DEPENDS ${ORVOX_RC_DEPENDS}
  COMMENT "Compiling the resource module's table for the tests")
add_custom_target(orvox_res_file ALL DEPENDS ${ORVOX_RES_FILE})

# Unit tests of the portable core: one executable.
if(NOT DEFINED ORVOX_UNIT_TESTS OR ORVOX_UNIT_TESTS)
file(GLOB ORVOX_UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(orvox_unit_tests ${ORVOX_UNIT_TEST_SOURCES})
orvox_batch_test_sources(orvox_unit_tests)
target_link_libraries(orvox_unit_tests PRIVATE orvox_core orvox_portable_platform GTest::gtest GTest::gtest_main)
target_include_directories(orvox_unit_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/unit)
target_compile_options(orvox_unit_tests PRIVATE ${ORVOX_WARNINGS})
add_dependencies(orvox_unit_tests orvox_res_file)
# The binary finds its data without help; ORVOX_RES_FILE and ORVOX_SOURCE_DIR still override.
target_compile_definitions(orvox_unit_tests PRIVATE ORVOX_DEFAULT_RES_FILE="${ORVOX_RES_FILE}"
  ORVOX_DEFAULT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()

# The command-line submitter's logic that needs no window: options, ticket and
# file names, the hot folders' states, the job records. OrvoxSubmit.exe adds a
# thin Windows half; the tests run natively and under Wine.
file(GLOB ORVOX_SUBMIT_CORE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/submit/portable/*.cpp)
add_library(orvox_submit_core STATIC ${ORVOX_SUBMIT_CORE_SOURCES})
target_include_directories(orvox_submit_core PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(orvox_submit_core PRIVATE ${ORVOX_WARNINGS})
if(NOT DEFINED ORVOX_UNIT_TESTS OR ORVOX_UNIT_TESTS)
file(GLOB ORVOX_SUBMIT_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/submit/*.cpp)
add_executable(orvox_submit_tests ${ORVOX_SUBMIT_TEST_SOURCES})
target_link_libraries(orvox_submit_tests PRIVATE orvox_submit_core GTest::gtest GTest::gtest_main)
target_compile_options(orvox_submit_tests PRIVATE ${ORVOX_WARNINGS})
endif()
