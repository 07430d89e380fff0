# The same programs built for x86_64, for the tests on machines that cannot run 32-bit
# programs (scripts/win-arch.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
