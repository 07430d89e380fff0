# pagegrab.exe, and a test copy of it whose browser is the stand-in view of tests/tools.
add_custom_command(OUTPUT ${ART_DIR}/pagegrab.ico
  COMMAND ${Python3_EXECUTABLE} ${MAKE_ART} icon kestrow ${ART_DIR}/pagegrab.ico 32,48,64,96,128
  DEPENDS ${MAKE_ART} VERBATIM)
add_custom_target(pagegrab_art DEPENDS ${ART_DIR}/pagegrab.ico)

set(PAGEGRAB_RC ${PROJECT_SOURCE_DIR}/pagegrab/res/pagegrab.rc)
kestrow_shipped_program(pagegrab pagegrab_core pagegrab/main.cpp ${PAGEGRAB_RC}
  SOURCES ${PAGEGRAB_WIN_SOURCES}
  RC_DEPENDS ${ART_DIR}/pagegrab.ico ${PROJECT_SOURCE_DIR}/pagegrab/res/pagegrab.manifest
             ${PROJECT_SOURCE_DIR}/pagegrab/res/resource.h)
add_dependencies(pagegrab pagegrab_art)

add_executable(pagegrab_standin WIN32 tests/tools/pagegrab_standin.cpp ${PAGEGRAB_RC})
kestrow_program(pagegrab_standin)
target_include_directories(pagegrab_standin PRIVATE ${ART_DIR} ${PROJECT_SOURCE_DIR}/pagegrab/res)
target_link_libraries(pagegrab_standin PRIVATE pagegrab_core)
add_dependencies(pagegrab_standin pagegrab_art)
set_target_properties(pagegrab_standin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

# The browser host's test serves a page on a loopback socket.
cmake_language(DEFER CALL target_link_libraries kestrow_win_tests PRIVATE ws2_32)

# Figures for writing a very long page (bench/run_pagegrab_bench.sh).
add_executable(pagegrab_bench WIN32 bench/pagegrab_bench.cpp)
kestrow_program(pagegrab_bench)
target_link_libraries(pagegrab_bench PRIVATE pagegrab_core psapi)
set_target_properties(pagegrab_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
