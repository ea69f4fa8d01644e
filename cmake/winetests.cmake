# The registry layer, RegEditor and their tests cross-built for Windows
# (wine/) and run under Wine as the test "settings.wine" (label "wine"), when
# Debian's MinGW-w64 and Wine are installed.
if(HUESPIN_SANITIZE)
  return() # the sanitizers are for this platform's build
endif()
find_program(HUESPIN_MINGW_CXX NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++)
find_program(HUESPIN_WINE64 wine64 HINTS /usr/lib/wine)
find_program(HUESPIN_WINESERVER wineserver HINTS /usr/lib/wine)
find_program(HUESPIN_TIMEOUT timeout)
set(HUESPIN_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows build")
if(NOT HUESPIN_MINGW_CXX OR NOT HUESPIN_WINE64 OR NOT HUESPIN_WINESERVER OR NOT HUESPIN_TIMEOUT
   OR NOT EXISTS ${HUESPIN_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(STATUS "Wine tests left out: they need x86_64-w64-mingw32-g++ (g++-mingw-w64-x86-64), "
                 "/usr/lib/wine/wine64 and wineserver (wine64), and ${HUESPIN_GTEST_SOURCE_DIR} (googletest)")
  return()
endif()
message(STATUS "Wine tests: ${HUESPIN_MINGW_CXX} under ${HUESPIN_WINE64}")

include(ExternalProject)
set(_huespin_windows_dir ${PROJECT_BINARY_DIR}/wine)
set(_huespin_windows_tests
  ${_huespin_windows_dir}/build/tests/settings_registry_test.exe
  ${_huespin_windows_dir}/build/tests/settings_text_test.exe)
# Built with the rest, and again whenever a source it takes in changes.
file(GLOB_RECURSE _huespin_windows_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/wine/*
  ${PROJECT_SOURCE_DIR}/src/settings/*
  ${PROJECT_SOURCE_DIR}/tests/settings/*)
ExternalProject_Add(settings_windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/wine
  BINARY_DIR ${_huespin_windows_dir}/build
  PREFIX ${_huespin_windows_dir}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DGTEST_SOURCE_DIR=${HUESPIN_GTEST_SOURCE_DIR}
    -DHUESPIN_WERROR=${HUESPIN_WERROR}
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${_huespin_windows_tests})
ExternalProject_Add_StepDependencies(settings_windows build
  ${_huespin_windows_sources}
  ${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
  ${PROJECT_SOURCE_DIR}/cmake/huespintargets.cmake)

add_test(NAME settings.wine
  COMMAND sh ${PROJECT_SOURCE_DIR}/wine/run-tests.sh ${_huespin_windows_dir}/prefix ${_huespin_windows_tests})
set_tests_properties(settings.wine PROPERTIES
  LABELS wine
  TIMEOUT 600
  ENVIRONMENT "WINE=${HUESPIN_WINE64};WINESERVER=${HUESPIN_WINESERVER}")
