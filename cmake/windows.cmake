# The 32-bit Windows programs, their Windows-side tests and the test helpers.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_definitions(UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
add_compile_options(-municode)
add_link_options(-static -static-libgcc -static-libstdc++)
# Programs enter at wWinMain; the GoogleTest runners keep gtest_main's main.
function(kestrow_program target)
  kestrow_target(${target})
  target_link_options(${target} PRIVATE -municode)
endfunction()

# A shipped program: <core> (everything but the entry point, which the Windows tests
# link too) from <sources>, and the executable from <main> and its resource script,
# which is rebuilt when any of the files after RC_DEPENDS change.
function(kestrow_shipped_program name core main rc)
  cmake_parse_arguments(ARG "" "" "SOURCES;RC_DEPENDS" ${ARGN})
  add_library(${core} STATIC ${ARG_SOURCES})
  kestrow_target(${core})
  target_link_libraries(${core} PUBLIC kestrow_common_win)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${ARG_RC_DEPENDS}")
  get_filename_component(res_dir ${rc} DIRECTORY)
  add_executable(${name} WIN32 ${main} ${rc})
  kestrow_program(${name})
  target_include_directories(${name} PRIVATE ${ART_DIR} ${res_dir})
  target_link_libraries(${name} PRIVATE ${core})
  add_dependencies(${name} art)
endfunction()

set(KESTROW_WIN_LIBS gdiplus version msimg32 comctl32 comdlg32 shlwapi shell32 ole32 oleaut32 uuid
    gdi32 user32 kernel32)

# Icons and cursors, drawn from the sources in the repo.
set(ART_DIR ${CMAKE_BINARY_DIR}/art)
file(MAKE_DIRECTORY ${ART_DIR})
set(MAKE_ART ${PROJECT_SOURCE_DIR}/scripts/make_art.py)
add_custom_command(OUTPUT ${ART_DIR}/kestrow.ico
  COMMAND ${Python3_EXECUTABLE} ${MAKE_ART} icon kestrow ${ART_DIR}/kestrow.ico 16,32,48,64,96,128
  DEPENDS ${MAKE_ART} VERBATIM)
add_custom_command(OUTPUT ${ART_DIR}/crosshair.cur
  COMMAND ${Python3_EXECUTABLE} ${MAKE_ART} cursor ${PROJECT_SOURCE_DIR}/worker/res/crosshair.txt
          ${ART_DIR}/crosshair.cur
  DEPENDS ${MAKE_ART} ${PROJECT_SOURCE_DIR}/worker/res/crosshair.txt VERBATIM)
add_custom_command(OUTPUT ${ART_DIR}/picker.cur
  COMMAND ${Python3_EXECUTABLE} ${MAKE_ART} cursor ${PROJECT_SOURCE_DIR}/worker/res/picker.txt
          ${ART_DIR}/picker.cur
  DEPENDS ${MAKE_ART} ${PROJECT_SOURCE_DIR}/worker/res/picker.txt VERBATIM)
foreach(png toolbar-frames toolbar-icons width-icons)
  add_custom_command(OUTPUT ${ART_DIR}/${png}.png
    COMMAND ${Python3_EXECUTABLE} ${MAKE_ART} png ${png} ${ART_DIR}/${png}.png
    DEPENDS ${MAKE_ART} VERBATIM)
endforeach()
add_custom_target(art DEPENDS ${ART_DIR}/kestrow.ico ${ART_DIR}/crosshair.cur ${ART_DIR}/picker.cur
  ${ART_DIR}/toolbar-frames.png ${ART_DIR}/toolbar-icons.png ${ART_DIR}/width-icons.png)

add_library(kestrow_common_win STATIC ${COMMON_WIN_SOURCES} ${KESTROW_LOGIC_SOURCES})
kestrow_target(kestrow_common_win)
target_link_libraries(kestrow_common_win PUBLIC kestrow_jsoncpp ${KESTROW_WIN_LIBS})

kestrow_shipped_program(Worker worker_core worker/main.cpp ${PROJECT_SOURCE_DIR}/worker/res/worker.rc
  SOURCES ${WORKER_WIN_SOURCES}
  RC_DEPENDS ${ART_DIR}/kestrow.ico ${ART_DIR}/crosshair.cur ${ART_DIR}/picker.cur
             ${ART_DIR}/toolbar-frames.png ${ART_DIR}/toolbar-icons.png ${ART_DIR}/width-icons.png
             ${PROJECT_SOURCE_DIR}/worker/res/worker.manifest)

# The launcher and pagegrab describe their own targets.
include(${PROJECT_SOURCE_DIR}/launcher/programs.cmake OPTIONAL)
include(${PROJECT_SOURCE_DIR}/pagegrab/programs.cmake OPTIONAL)
include(${PROJECT_SOURCE_DIR}/bench/programs.cmake OPTIONAL)

# GoogleTest for Windows, run under Wine.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/*.cpp)
add_executable(kestrow_win_tests ${WIN_TEST_SOURCES} ${PROJECT_SOURCE_DIR}/tests/win/version_test.rc)
kestrow_target(kestrow_win_tests)
target_link_libraries(kestrow_win_tests PRIVATE worker_core gtest_main)
add_dependencies(kestrow_win_tests Worker)
foreach(core launcher_core pagegrab_core)
  if(TARGET ${core})
    target_link_libraries(kestrow_win_tests PRIVATE ${core})
  endif()
endforeach()
set_target_properties(kestrow_win_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

# Helpers the end-to-end scenarios drive (GUI programs, as Wine wants).
add_executable(testtool WIN32 tests/tools/testtool.cpp)
kestrow_program(testtool)
target_link_libraries(testtool PRIVATE kestrow_common_win)
add_executable(standin WIN32 tests/tools/standin.cpp)
kestrow_program(standin)
target_link_libraries(standin PRIVATE kestrow_common_win)
set_target_properties(testtool standin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
