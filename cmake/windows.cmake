# Windows build (MinGW-w64): the resource module, the library, the test host and
# the Windows test executables, which ctest runs under Wine.

# Static runtime pieces so that the DLLs need nothing from the MinGW installation.
set(ORVOX_STATIC_RUNTIME -static-libgcc -static-libstdc++ -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive,-Bdynamic)

# GoogleTest from the sources Debian's googletest package installs.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The second architecture runs the host-level suite only (the library loaded by
# a host, prints to the capture printer); the portable core's unit tests run on
# x86_64 and natively.
option(ORVOX_UNIT_TESTS "Build the portable core's unit tests for Windows" ON)

include(${CMAKE_CURRENT_LIST_DIR}/libtiff.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/core.cmake)
if(ORVOX_UNIT_TESTS)
  target_link_options(orvox_unit_tests PRIVATE ${ORVOX_STATIC_RUNTIME})
endif()

set(ORVOX_OUT ${CMAKE_BINARY_DIR}/bin)   # the installation folder the tests and the demo use
file(MAKE_DIRECTORY ${ORVOX_OUT})

# orvoxRes.dll: resources only, no entry point.
add_library(orvoxRes SHARED ${PROJECT_SOURCE_DIR}/resources/orvoxRes.rc)
set_target_properties(orvoxRes PROPERTIES PREFIX "" LINKER_LANGUAGE C
  RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(orvoxRes PRIVATE ${PROJECT_SOURCE_DIR}/resources)
target_link_options(orvoxRes PRIVATE -nostdlib -nostartfiles -Wl,-e,0 -s)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/resources/orvoxRes.rc APPEND PROPERTY OBJECT_DEPENDS ${ORVOX_RC_DEPENDS})

# The Win32 platform half, shared by the library and the Windows tests.
file(GLOB ORVOX_WIN32_PLATFORM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/win32/*.cpp)
add_library(orvox_win32_platform STATIC ${ORVOX_WIN32_PLATFORM_SOURCES})
target_include_directories(orvox_win32_platform PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/resources)
target_compile_options(orvox_win32_platform PRIVATE ${ORVOX_WARNINGS})
# Profile writes use the portable INI editor (see Win32Profile).
target_link_libraries(orvox_win32_platform PUBLIC winspool ws2_32 orvox_portable_platform)

# Orvox.dll
file(GLOB ORVOX_DLL_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/interface/*.cpp ${PROJECT_SOURCE_DIR}/ui/*.cpp)
add_library(Orvox SHARED ${ORVOX_DLL_SOURCES} ${PROJECT_SOURCE_DIR}/interface/Orvox.def)
set_target_properties(Orvox PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(Orvox PRIVATE ${PROJECT_SOURCE_DIR}/include)
target_compile_options(Orvox PRIVATE ${ORVOX_WARNINGS})
target_compile_definitions(Orvox PRIVATE ORVOX_BUILDING_DLL)
target_link_libraries(Orvox PRIVATE orvox_core orvox_win32_platform orvox_tiff
  comctl32 comdlg32 shell32 ole32 gdi32 user32 advapi32 winspool)
target_link_options(Orvox PRIVATE ${ORVOX_STATIC_RUNTIME} -Wl,--kill-at)
# Import libraries for both toolchains: MinGW's libOrvox.dll.a comes from the link;
# Orvox.lib for the MSVC linker is made from the same .def.
set_target_properties(Orvox PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
  set(ORVOX_DLLTOOL_MACHINE i386)
else()
  set(ORVOX_DLLTOOL_MACHINE i386:x86-64)
endif()
find_program(ORVOX_DLLTOOL NAMES ${ORVOX_MINGW_TRIPLE}-dlltool REQUIRED)
add_custom_command(TARGET Orvox POST_BUILD
  COMMAND ${ORVOX_DLLTOOL} -m ${ORVOX_DLLTOOL_MACHINE} -d ${PROJECT_SOURCE_DIR}/interface/Orvox.def
          -D Orvox.dll -l ${CMAKE_BINARY_DIR}/lib/Orvox.lib
  COMMENT "Import library for the MSVC linker")

# OrvoxTest.exe: the test host; it knows only the public header.
file(GLOB ORVOX_TESTAPP_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/testapp/*.cpp ${PROJECT_SOURCE_DIR}/testapp/*.rc)
add_executable(OrvoxTest WIN32 ${ORVOX_TESTAPP_SOURCES})
set_target_properties(OrvoxTest PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(OrvoxTest PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/testapp)
target_compile_options(OrvoxTest PRIVATE ${ORVOX_WARNINGS})
target_link_libraries(OrvoxTest PRIVATE comctl32 comdlg32 gdi32 user32)
target_link_options(OrvoxTest PRIVATE ${ORVOX_STATIC_RUNTIME})

# OrvoxSubmit.exe: the console host for work without an operator (one job from
# the command line, hot folders); like the test host it knows only the public header.
file(GLOB ORVOX_SUBMIT_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/submit/win32/*.cpp)
add_executable(OrvoxSubmit ${ORVOX_SUBMIT_WIN32_SOURCES})
set_target_properties(OrvoxSubmit PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(OrvoxSubmit PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/testapp)
target_compile_options(OrvoxSubmit PRIVATE ${ORVOX_WARNINGS})
target_link_libraries(OrvoxSubmit PRIVATE orvox_submit_core user32)
target_link_options(OrvoxSubmit PRIVATE ${ORVOX_STATIC_RUNTIME})

# The sample host in C: links against the import library and prints the version
# and the paper catalog; shipped in the package with its sources.
add_executable(OrvoxSampleHost ${PROJECT_SOURCE_DIR}/samples/host/sample_host.c)
set_target_properties(OrvoxSampleHost PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(OrvoxSampleHost PRIVATE ${PROJECT_SOURCE_DIR}/include)
target_compile_options(OrvoxSampleHost PRIVATE -Wall -Wextra -pedantic -Werror)
target_link_libraries(OrvoxSampleHost PRIVATE Orvox user32)
target_link_options(OrvoxSampleHost PRIVATE -static-libgcc)

# The installation data next to the built programs.
file(GLOB ORVOX_INSTALL_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/install/*)
add_custom_target(orvox_install_data ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ORVOX_INSTALL_FILES} ${ORVOX_OUT}
  DEPENDS ${ORVOX_INSTALL_FILES})

# The operator's guide: the HTML pages of help/ compiled into the HTML Help file
# that lies beside the library (its name is the resource module's string 1161).
find_program(ORVOX_CHMCMD NAMES chmcmd REQUIRED)
file(GLOB ORVOX_HELP_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/help/*)
set(ORVOX_HELP_FILE ${ORVOX_OUT}/Orvox.chm)
add_custom_command(OUTPUT ${ORVOX_HELP_FILE}
  COMMAND ${CMAKE_COMMAND} -E remove -f ${ORVOX_HELP_FILE}
  COMMAND ${ORVOX_CHMCMD} ${PROJECT_SOURCE_DIR}/help/Orvox.hhp
  WORKING_DIRECTORY ${ORVOX_OUT}
  DEPENDS ${ORVOX_HELP_SOURCES}
  COMMENT "Compiling the operator's guide")
add_custom_target(orvox_help ALL DEPENDS ${ORVOX_HELP_FILE})
find_program(ORVOX_CHMLS NAMES chmls REQUIRED)
add_test(NAME help.file COMMAND ${CMAKE_COMMAND} -DCHMLS=${ORVOX_CHMLS} -DHELP_FILE=${ORVOX_HELP_FILE}
  -DTOPICS_HEADER=${PROJECT_SOURCE_DIR}/ui/portable/help_topics.h -DWORK_DIR=${CMAKE_BINARY_DIR}/help-check
  -P ${PROJECT_SOURCE_DIR}/cmake/check_help_file.cmake)

# The DLL exports exactly the 21 names of the .def, undecorated, and the public
# header compiles as C and C++ for this architecture; both are checked without Wine.
add_test(NAME build.exports COMMAND ${PROJECT_SOURCE_DIR}/tools/check-exports.sh
  ${ORVOX_MINGW_TRIPLE} ${ORVOX_OUT}/Orvox.dll ${PROJECT_SOURCE_DIR}/interface/Orvox.def)
add_test(NAME build.header COMMAND ${PROJECT_SOURCE_DIR}/tools/check-header.sh
  ${ORVOX_MINGW_TRIPLE} ${PROJECT_SOURCE_DIR}/include/Orvox.h)

add_test(NAME win.sample COMMAND ${PROJECT_SOURCE_DIR}/tests/package/check_sample_host.sh
  ${ORVOX_OUT}/OrvoxSampleHost.exe)

# OrvoxSubmit through the capture printer: the command line and the hot folders
# (needs ORVOX_QUEUE and ORVOX_CAPTURE_DIR, like the e2e tests).
add_test(NAME e2e.submit COMMAND ${PROJECT_SOURCE_DIR}/tests/submit/submit_e2e.sh ${ORVOX_OUT})

# Windows tests: each executable is one ctest test (a Wine start is costly).
if(ORVOX_UNIT_TESTS)
set_target_properties(orvox_submit_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_link_options(orvox_submit_tests PRIVATE ${ORVOX_STATIC_RUNTIME})
add_test(NAME unit.submit COMMAND orvox_submit_tests)
set_target_properties(orvox_unit_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
add_test(NAME unit.wine COMMAND orvox_unit_tests)
set_tests_properties(unit.wine PROPERTIES
  ENVIRONMENT "ORVOX_RES_FILE=${ORVOX_RES_FILE};ORVOX_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endif()

# The pages and controls driven by a host: on x86_64 only (ORVOX_WIN_TESTS=OFF for
# the second architecture, which runs the library print, the sample host, the
# large-file copy and the arithmetic test).
option(ORVOX_WIN_TESTS "Build the host tests that drive the pages" ON)
file(GLOB ORVOX_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/*.cpp)
if(ORVOX_WIN_TEST_SOURCES AND ORVOX_WIN_TESTS)
add_executable(orvox_win_tests ${ORVOX_WIN_TEST_SOURCES} ${PROJECT_SOURCE_DIR}/interface/fault_guard.cpp)
orvox_batch_test_sources(orvox_win_tests)
# Helpers of its own that share names with the resource-module test's.
set_source_files_properties(${PROJECT_SOURCE_DIR}/tests/win/test_application_test.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
set_target_properties(orvox_win_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(orvox_win_tests PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include
  ${PROJECT_SOURCE_DIR}/testapp ${PROJECT_SOURCE_DIR}/tests/win ${PROJECT_SOURCE_DIR}/resources)
# The custom controls are also tested on their own, on real controls in the test's window.
target_sources(orvox_win_tests PRIVATE ${PROJECT_SOURCE_DIR}/ui/control.cpp
  ${PROJECT_SOURCE_DIR}/ui/dialog_base.cpp ${PROJECT_SOURCE_DIR}/ui/item_enabling_combo.cpp
  ${PROJECT_SOURCE_DIR}/ui/handler_resources.cpp)
# Pictures of pages and dialogs the tests drive, taken as the test application takes its own.
target_sources(orvox_win_tests PRIVATE ${PROJECT_SOURCE_DIR}/testapp/window_shot.cpp)
target_compile_options(orvox_win_tests PRIVATE ${ORVOX_WARNINGS})
target_link_libraries(orvox_win_tests PRIVATE GTest::gtest GTest::gtest_main orvox_win32_platform comctl32 gdi32 user32 shell32 ole32)
target_link_options(orvox_win_tests PRIVATE ${ORVOX_STATIC_RUNTIME})
add_dependencies(orvox_win_tests Orvox orvoxRes orvox_install_data orvox_help)
add_test(NAME win.host COMMAND orvox_win_tests)
endif()

file(GLOB ORVOX_E2E_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/e2e/*.cpp)
if(ORVOX_E2E_TEST_SOURCES)
add_executable(orvox_e2e_tests ${ORVOX_E2E_TEST_SOURCES})
orvox_batch_test_sources(orvox_e2e_tests)
# Its message hook and what it records share names with the substitutions print test's.
set_source_files_properties(${PROJECT_SOURCE_DIR}/tests/e2e/model1_print_test.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
set_target_properties(orvox_e2e_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(orvox_e2e_tests PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/testapp ${PROJECT_SOURCE_DIR}/tests/e2e)
target_compile_options(orvox_e2e_tests PRIVATE ${ORVOX_WARNINGS})
# The print output is tested against the real spooler from the portable core.
target_link_libraries(orvox_e2e_tests PRIVATE orvox_core orvox_win32_platform GTest::gtest GTest::gtest_main winspool user32)
target_link_options(orvox_e2e_tests PRIVATE ${ORVOX_STATIC_RUNTIME})
add_dependencies(orvox_e2e_tests Orvox orvoxRes orvox_install_data)
# The e2e tests need the capture printer; tools/test.sh starts it and names the
# queue and the capture folder in the environment.
add_test(NAME e2e.spooler COMMAND orvox_e2e_tests)
endif()

# IPP printers end to end: the library prints to ippeveprinter test printers
# that tools/ipp-env.sh starts; without them the program exits with 77 (skipped)
# and says why.
add_executable(orvox_ipp_tests ${PROJECT_SOURCE_DIR}/tests/ipp/ipp_print_test.cpp
  ${PROJECT_SOURCE_DIR}/testapp/window_shot.cpp)
set_target_properties(orvox_ipp_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(orvox_ipp_tests PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/testapp ${PROJECT_SOURCE_DIR}/tests/e2e)
target_compile_options(orvox_ipp_tests PRIVATE ${ORVOX_WARNINGS})
target_link_libraries(orvox_ipp_tests PRIVATE GTest::gtest winspool comctl32 gdi32 user32)
target_link_options(orvox_ipp_tests PRIVATE ${ORVOX_STATIC_RUNTIME})
add_dependencies(orvox_ipp_tests Orvox orvoxRes orvox_install_data orvox_help)
add_test(NAME e2e.ipp COMMAND orvox_ipp_tests)

# Print files beyond 4 GB through the spooler copy, in both architectures (a
# sparse file and a counting sink: no disk, no spooler).
add_executable(orvox_large_file_tests ${PROJECT_SOURCE_DIR}/tests/large/large_file_test.cpp)
set_target_properties(orvox_large_file_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_compile_options(orvox_large_file_tests PRIVATE ${ORVOX_WARNINGS})
target_link_libraries(orvox_large_file_tests PRIVATE orvox_core GTest::gtest GTest::gtest_main)
target_link_options(orvox_large_file_tests PRIVATE ${ORVOX_STATIC_RUNTIME})
add_test(NAME win.largefile COMMAND orvox_large_file_tests)

# Arithmetic both architectures must do alike (the x87 stack of the 32-bit
# build against the 64-bit build's single precision), run in both trees.
add_executable(orvox_arch_tests ${PROJECT_SOURCE_DIR}/tests/arch/resolution_test.cpp)
set_target_properties(orvox_arch_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_compile_options(orvox_arch_tests PRIVATE ${ORVOX_WARNINGS})
target_link_libraries(orvox_arch_tests PRIVATE orvox_core GTest::gtest GTest::gtest_main)
target_link_options(orvox_arch_tests PRIVATE ${ORVOX_STATIC_RUNTIME})
add_test(NAME win.arch COMMAND orvox_arch_tests)

# Every test has a time limit that fits it, so a hang ends as a failure with the
# test's name. A Windows program that cannot run on this machine (a 32-bit one
# where the kernel runs no 32-bit programs) is not started: tools/wine-run.sh
# exits with 77, which ctest reports as a skipped test.
set(orvox_test_limits help.file 120 build.exports 120 build.header 120 win.sample 180
  unit.wine 600 unit.submit 120 e2e.submit 600 win.host 2400 e2e.spooler 1200 e2e.ipp 600 win.largefile 300 win.arch 120)
while(orvox_test_limits)
  list(POP_FRONT orvox_test_limits orvox_test orvox_limit)
  if(TEST ${orvox_test})
    set_tests_properties(${orvox_test} PROPERTIES TIMEOUT ${orvox_limit} SKIP_RETURN_CODE 77)
  endif()
endwhile()
