# With QLN_BUILD_FUZZ every target is built with coverage for libFuzzer, AddressSanitizer and UBSan, so
# the harness explores the runner and the simulated world it drives, not just its own file.
if(QLN_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QLN_BUILD_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Undefined behaviour aborts, so the fuzzer keeps it as a finding instead of a line of output.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
endif()
