# Native build: the platform-free libraries and their unit tests, with sanitizers.
option(KESTROW_SANITIZE "Build the unit tests with AddressSanitizer and UBSan" ON)
if(KESTROW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# The build folder of the Windows programs; with it, CTest also runs the Windows
# tests and the end-to-end scenarios under Wine (scripts/test.sh provides both).
set(KESTROW_WIN32_DIR "" CACHE PATH "Build folder of the Windows programs")
enable_testing()
