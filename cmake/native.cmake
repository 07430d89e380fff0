# Native build: the platform-free libraries and their unit tests, with sanitizers.
option(KESTROW_SANITIZE "Build the unit tests with AddressSanitizer and UBSan" ON)
# The fuzz configuration (clang): the logic libraries instrumented for libFuzzer.
option(KESTROW_FUZZ "Build the fuzz targets instead of the tests" OFF)
if(KESTROW_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
if(KESTROW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# The build folder of the Windows programs; with it, CTest also runs the Windows
# tests and the end-to-end scenarios under Wine (scripts/test.sh provides both).
set(KESTROW_WIN32_DIR "" CACHE PATH "Build folder of the Windows programs")
# The build folder of the fuzz targets; with it, CTest runs each for a short while.
set(KESTROW_FUZZ_DIR "" CACHE PATH "Build folder of the fuzz targets")
enable_testing()
