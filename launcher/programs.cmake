kestrow_shipped_program(KestrowCapture launcher_core launcher/main.cpp
  ${PROJECT_SOURCE_DIR}/launcher/res/launcher.rc
  SOURCES ${LAUNCHER_WIN_SOURCES}
  RC_DEPENDS ${ART_DIR}/kestrow.ico ${PROJECT_SOURCE_DIR}/launcher/res/launcher.manifest
             ${PROJECT_SOURCE_DIR}/launcher/res/resource.h ${PROJECT_SOURCE_DIR}/launcher/res/online.rc)
target_link_libraries(launcher_core PUBLIC winhttp)
# The web service the launcher talks to unless appconfig.ini names another ("service_url").
set(KESTROW_SERVICE_URL "http://www.kestrow.com" CACHE STRING "Default base address of the web service")
set_source_files_properties(launcher/online/service_url.cpp PROPERTIES
  COMPILE_DEFINITIONS "KESTROW_SERVICE_URL=\"${KESTROW_SERVICE_URL}\"")

# The launcher scenarios' helper that plays a worker sending results.
add_executable(launcherprobe WIN32 tests/tools/launcherprobe.cpp)
kestrow_program(launcherprobe)
target_link_libraries(launcherprobe PRIVATE kestrow_common_win)
set_target_properties(launcherprobe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
