# Cross build of the 32-bit Windows programs: settings and helpers for every folder.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_definitions(UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
add_compile_options(-municode)
add_link_options(-static -static-libgcc -static-libstdc++)
include(${CMAKE_CURRENT_LIST_DIR}/delay_load.cmake)

# Programs enter at wWinMain; the GoogleTest runners keep gtest_main's main.
function(kestrow_program target)
  kestrow_target(${target})
  target_link_options(${target} PRIVATE -municode)
endfunction()

# A GUI helper program of the tests or benchmarks, written to build/win32/<folder>.
function(kestrow_helper_program name folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${ARG_SOURCES})
  kestrow_program(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${folder})
endfunction()

# A shipped program: <core> (everything but the entry point, which the Windows tests
# link too) from SOURCES on top of the LIBS it needs, and the executable from <main>
# and its resource script, which is rebuilt when any of the RC_DEPENDS or the version
# change.
function(kestrow_shipped_program name core main rc)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;RC_DEPENDS" ${ARGN})
  add_library(${core} STATIC ${ARG_SOURCES})
  kestrow_target(${core})
  target_link_libraries(${core} PUBLIC kestrow_common_win ${ARG_LIBS})
  set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS "${ARG_RC_DEPENDS};${PROJECT_SOURCE_DIR}/common/version.h")
  get_filename_component(res_dir ${rc} DIRECTORY)
  add_executable(${name} WIN32 ${main} ${rc})
  kestrow_program(${name})
  target_include_directories(${name} PRIVATE ${ART_DIR} ${res_dir})
  target_link_libraries(${name} PRIVATE ${core})
  # What ships carries no symbols.
  target_link_options(${name} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
  add_dependencies(${name} art)
endfunction()

# Icons, cursors and PNG artwork, drawn from readable sources in the repo by
# scripts/make_art.py into build/win32/art. Each program folder adds what it needs
# with kestrow_art(); the art target makes all of it before any resource script.
set(ART_DIR ${CMAKE_BINARY_DIR}/art)
file(MAKE_DIRECTORY ${ART_DIR})
set(MAKE_ART ${PROJECT_SOURCE_DIR}/scripts/make_art.py)
add_custom_target(art)
# kestrow_art(<file> <make_art arguments...> [DEPENDS <sources...>]); the output path
# goes where an argument says OUT, or last.
function(kestrow_art file)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  get_property(made GLOBAL PROPERTY KESTROW_ART_FILES)
  if(${ART_DIR}/${file} IN_LIST made)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY KESTROW_ART_FILES ${ART_DIR}/${file})
  string(MAKE_C_IDENTIFIER "art_${file}" art_target)
  set(args ${ARG_UNPARSED_ARGUMENTS})
  if(NOT "OUT" IN_LIST args)
    list(APPEND args OUT)
  endif()
  list(TRANSFORM args REPLACE "^OUT$" "${ART_DIR}/${file}")
  add_custom_command(OUTPUT ${ART_DIR}/${file}
    COMMAND ${Python3_EXECUTABLE} ${MAKE_ART} ${args}
    DEPENDS ${MAKE_ART} ${ARG_DEPENDS} VERBATIM)
  add_custom_target(${art_target} DEPENDS ${ART_DIR}/${file})
  add_dependencies(art ${art_target})
endfunction()
