# Settings shared by the Huespin targets, in the main build and in the
# Windows cross build (wine/).
option(HUESPIN_WERROR "Treat compiler warnings as errors" OFF)

# The project's warnings. The libraries at the root of the others (core and
# settings) pass them on, so that every library, program, test and benchmark
# that links Huespin's code builds with them, while sources built alongside,
# such as GoogleTest in the cross build, keep their own flags.
if(NOT TARGET huespin_warnings)
  add_library(huespin_warnings INTERFACE)
  target_compile_options(huespin_warnings INTERFACE -Wall -Wextra -Wpedantic $<$<BOOL:${HUESPIN_WERROR}>:-Werror>)
endif()

# A library's public headers, as a header file set: its users include them
# from the library's folder.
function(huespin_public_headers target)
  target_sources(${target} PUBLIC FILE_SET HEADERS BASE_DIRS ${CMAKE_CURRENT_SOURCE_DIR} FILES ${ARGN})
endfunction()
