# KestrowCapture.exe: everything but the entry point goes into launcher_core, which
# the Windows tests link too.
add_library(launcher_core STATIC ${LAUNCHER_WIN_SOURCES})
kestrow_target(launcher_core)
target_link_libraries(launcher_core PUBLIC kestrow_common_win)

set(LAUNCHER_RC ${PROJECT_SOURCE_DIR}/launcher/res/launcher.rc)
set_source_files_properties(${LAUNCHER_RC} PROPERTIES
  OBJECT_DEPENDS "${ART_DIR}/kestrow.ico;${PROJECT_SOURCE_DIR}/launcher/res/launcher.manifest;${PROJECT_SOURCE_DIR}/launcher/res/resource.h")
add_executable(KestrowCapture WIN32 launcher/main.cpp ${LAUNCHER_RC})
kestrow_program(KestrowCapture)
target_include_directories(KestrowCapture PRIVATE ${ART_DIR} ${PROJECT_SOURCE_DIR}/launcher/res)
target_link_libraries(KestrowCapture PRIVATE launcher_core)
add_dependencies(KestrowCapture art)

# The launcher scenarios' helper that plays a worker sending results.
add_executable(launcherprobe WIN32 tests/tools/launcherprobe.cpp)
kestrow_program(launcherprobe)
target_link_libraries(launcherprobe PRIVATE kestrow_common_win)
set_target_properties(launcherprobe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
