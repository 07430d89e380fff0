# Native unit tests of the platform-free code, and the CTest suite that also runs
# the Windows tests and end-to-end scenarios under Wine.
option(KESTROW_SANITIZE "Build the unit tests with AddressSanitizer and UBSan" ON)
if(KESTROW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

enable_testing()
include(GoogleTest)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(kestrow_unit_tests ${UNIT_TEST_SOURCES} ${KESTROW_LOGIC_SOURCES})
kestrow_target(kestrow_unit_tests)
target_link_libraries(kestrow_unit_tests PRIVATE kestrow_jsoncpp gtest_main)
gtest_discover_tests(kestrow_unit_tests TEST_PREFIX "unit." DISCOVERY_TIMEOUT 60)

# Everything below needs the cross-built programs and a Wine environment
# (scripts/test.sh provides both).
set(KESTROW_WIN32_DIR "" CACHE PATH "Build folder of the Windows programs")
if(KESTROW_WIN32_DIR)
  set(WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
  foreach(exe ${KESTROW_WIN_TEST_EXES})
    add_test(NAME win.${exe} COMMAND ${WINE_RUN} ${KESTROW_WIN32_DIR}/tests/${exe}.exe)
    set_tests_properties(win.${exe} PROPERTIES RESOURCE_LOCK display TIMEOUT 600)
  endforeach()
  # The HTTP client's tests, run again with the loopback service they need.
  add_test(NAME win.online_http COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/tools/loopback_server.py
    run ${WINE_RUN} ${KESTROW_WIN32_DIR}/tests/kestrow_win_tests.exe --gtest_filter=WinHttpClientTest.*)
  set_tests_properties(win.online_http PROPERTIES RESOURCE_LOCK display TIMEOUT 600)

  file(GLOB E2E_SCENARIOS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/e2e/test_*.py)
  foreach(scenario ${E2E_SCENARIOS})
    get_filename_component(name ${scenario} NAME_WE)
    add_test(NAME e2e.${name}
      COMMAND ${Python3_EXECUTABLE} -m unittest -v tests.e2e.${name}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
    set_tests_properties(e2e.${name} PROPERTIES RESOURCE_LOCK display TIMEOUT 900
      ENVIRONMENT "KESTROW_WIN32_DIR=${KESTROW_WIN32_DIR}")
  endforeach()
endif()
