# The splash picture, drawn like the other art.
add_custom_command(OUTPUT ${ART_DIR}/splash.png
  COMMAND ${Python3_EXECUTABLE} ${MAKE_ART} png splash ${ART_DIR}/splash.png
  DEPENDS ${MAKE_ART} VERBATIM)
kestrow_shipped_program(KestrowCapture launcher_core launcher/main.cpp
  ${PROJECT_SOURCE_DIR}/launcher/res/launcher.rc
  SOURCES ${LAUNCHER_WIN_SOURCES}
  RC_DEPENDS ${ART_DIR}/kestrow.ico ${ART_DIR}/splash.png ${PROJECT_SOURCE_DIR}/launcher/res/launcher.manifest
             ${PROJECT_SOURCE_DIR}/launcher/res/resource.h)

# The launcher scenarios' helper that plays a worker sending results.
add_executable(launcherprobe WIN32 tests/tools/launcherprobe.cpp)
kestrow_program(launcherprobe)
target_link_libraries(launcherprobe PRIVATE kestrow_common_win)
set_target_properties(launcherprobe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
