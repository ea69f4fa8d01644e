# Debian's hardening flags (as dpkg-buildflags gives them with
# hardening=+all): fortified functions, stack protector, read-only
# relocations bound at start, and a position-independent executable.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT WIN32)
  # Fortification needs optimisation, which Debug builds go without.
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
    $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
    $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
