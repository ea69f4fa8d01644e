# Settings shared by the Huespin targets, in the main build and in the
# Windows cross build (wine/).
option(HUESPIN_WERROR "Treat compiler warnings as errors" OFF)

# Warnings for every library and program defined under the given folders
# (at the end of configuring), so that sources built alongside, such as
# GoogleTest in the cross build, keep their own flags.
function(huespin_warnings)
  foreach(folder IN LISTS ARGN)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY)$")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${HUESPIN_WERROR}>:-Werror>)
      endif()
    endforeach()
    get_property(children DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    huespin_warnings(${children})
  endforeach()
endfunction()

# A library's own folder stays private; its users see only the headers named
# here, through forwarding headers in a folder of their own.
function(huespin_public_headers target)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/include)
  foreach(header IN LISTS ARGN)
    file(CONFIGURE OUTPUT ${folder}/${header}
         CONTENT "#include \"${CMAKE_CURRENT_SOURCE_DIR}/${header}\"\n")
  endforeach()
  target_include_directories(${target}
    PUBLIC $<BUILD_INTERFACE:${folder}>
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()
