# Windows build (MinGW-w64): the resource module, the library, the test host and
# the Windows test executables, which ctest runs under Wine.

# Static runtime pieces so that the DLLs need nothing from the MinGW installation.
set(ORVOX_STATIC_RUNTIME -static-libgcc -static-libstdc++ -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive,-Bdynamic)

# GoogleTest from the sources Debian's googletest package installs.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

include(${CMAKE_CURRENT_LIST_DIR}/libtiff.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/core.cmake)
target_link_options(orvox_unit_tests PRIVATE ${ORVOX_STATIC_RUNTIME})

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
target_link_libraries(orvox_win32_platform PUBLIC winspool)

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

# OrvoxTest.exe: the test host; it knows only the public header.
file(GLOB ORVOX_TESTAPP_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/testapp/*.cpp ${PROJECT_SOURCE_DIR}/testapp/*.rc)
add_executable(OrvoxTest WIN32 ${ORVOX_TESTAPP_SOURCES})
set_target_properties(OrvoxTest PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(OrvoxTest PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/testapp)
target_compile_options(OrvoxTest PRIVATE ${ORVOX_WARNINGS})
target_link_libraries(OrvoxTest PRIVATE comctl32 comdlg32 gdi32 user32)
target_link_options(OrvoxTest PRIVATE ${ORVOX_STATIC_RUNTIME})

# The installation data next to the built programs.
file(GLOB ORVOX_INSTALL_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/install/*)
add_custom_target(orvox_install_data ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ORVOX_INSTALL_FILES} ${ORVOX_OUT}
  DEPENDS ${ORVOX_INSTALL_FILES})

# Windows tests: each executable is one ctest test (a Wine start is costly).
set_target_properties(orvox_unit_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
add_test(NAME unit.wine COMMAND orvox_unit_tests)
set_tests_properties(unit.wine PROPERTIES
  ENVIRONMENT "ORVOX_RES_FILE=${ORVOX_RES_FILE};ORVOX_SOURCE_DIR=${PROJECT_SOURCE_DIR}")

file(GLOB ORVOX_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/*.cpp)
if(ORVOX_WIN_TEST_SOURCES)
add_executable(orvox_win_tests ${ORVOX_WIN_TEST_SOURCES} ${PROJECT_SOURCE_DIR}/interface/fault_guard.cpp)
set_target_properties(orvox_win_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVOX_OUT})
target_include_directories(orvox_win_tests PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include
  ${PROJECT_SOURCE_DIR}/testapp ${PROJECT_SOURCE_DIR}/tests/win ${PROJECT_SOURCE_DIR}/resources)
# The custom controls are also tested on their own, on real controls in the test's window.
target_sources(orvox_win_tests PRIVATE ${PROJECT_SOURCE_DIR}/ui/control.cpp
  ${PROJECT_SOURCE_DIR}/ui/dialog_base.cpp ${PROJECT_SOURCE_DIR}/ui/item_enabling_combo.cpp
  ${PROJECT_SOURCE_DIR}/ui/handler_resources.cpp)
# Pictures of dialogs the tests drive, taken as the test application takes its own.
target_sources(orvox_win_tests PRIVATE ${PROJECT_SOURCE_DIR}/testapp/window_shot.cpp)
target_compile_options(orvox_win_tests PRIVATE ${ORVOX_WARNINGS})
target_link_libraries(orvox_win_tests PRIVATE GTest::gtest GTest::gtest_main orvox_win32_platform comctl32 gdi32 user32 shell32)
target_link_options(orvox_win_tests PRIVATE ${ORVOX_STATIC_RUNTIME})
add_dependencies(orvox_win_tests Orvox orvoxRes orvox_install_data)
add_test(NAME win.host COMMAND orvox_win_tests)
endif()

file(GLOB ORVOX_E2E_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/e2e/*.cpp)
if(ORVOX_E2E_TEST_SOURCES)
add_executable(orvox_e2e_tests ${ORVOX_E2E_TEST_SOURCES})
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
