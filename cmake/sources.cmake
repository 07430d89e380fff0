# Source lists of every program. Each program folder keeps its own list in
# <folder>/sources.cmake; this file only gathers them.
#   KESTROW_LOGIC_SOURCES  platform-free code: in the programs and the native unit tests
#   COMMON_WIN_SOURCES     the window framework and other Win32 code shared by programs
set(KESTROW_LOGIC_SOURCES)
set(COMMON_WIN_SOURCES common/win/window.cpp)
# Windows GoogleTest runners (in build/win32/tests) that the CTest suite runs under Wine.
set(KESTROW_WIN_TEST_EXES kestrow_win_tests)

include(${PROJECT_SOURCE_DIR}/worker/sources.cmake)
include(${PROJECT_SOURCE_DIR}/launcher/sources.cmake OPTIONAL)
include(${PROJECT_SOURCE_DIR}/pagegrab/sources.cmake OPTIONAL)
