# -DHUESPIN_SANITIZE=ON builds everything with AddressSanitizer (LeakSanitizer
# included) and UndefinedBehaviorSanitizer, every report fatal; `make
# sanitize` builds so with Clang in build-asan and runs the tests there.
# With Clang's libFuzzer at hand (HUESPIN_HAVE_LIBFUZZER), the fuzz targets
# in tests/fuzz join the tests.
option(HUESPIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(HUESPIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND NOT CMAKE_CROSSCOMPILING)
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
  check_cxx_source_compiles([[
    #include <cstddef>
    #include <cstdint>
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *, std::size_t) { return 0; }
  ]] HUESPIN_HAVE_LIBFUZZER)
  unset(CMAKE_REQUIRED_FLAGS)
endif()
