# With QLN_SANITIZE every target is built with AddressSanitizer (LeakSanitizer included) and UBSan.
# Undefined behaviour aborts the program (-fno-sanitize-recover), so a test or scenario that runs
# into it fails instead of printing a line that nobody reads.
option(QLN_SANITIZE "Build with AddressSanitizer and UBSan (the asan preset)" OFF)
if(QLN_SANITIZE)
  set(qln_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${qln_sanitize_flags})
  add_link_options(${qln_sanitize_flags})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC's flow analysis sees through the sanitizers' instrumentation poorly and reports strings
    # in std::optional as maybe uninitialised (GCC documents such false positives with
    # -fsanitize); the plain build keeps the warning.
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
endif()
