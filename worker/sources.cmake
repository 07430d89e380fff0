# Worker.exe. Platform-free code first, then Win32 code (the entry point is added
# by cmake/windows.cmake so the Windows tests can link everything else).
list(APPEND KESTROW_LOGIC_SOURCES
  worker/annotation/annotation_layout.cpp
  worker/colorpicker/color_picker_layout.cpp
  worker/annotation/graph_geometry.cpp
  worker/save_naming.cpp
  worker/task_options.cpp
)

set(WORKER_WIN_SOURCES
  worker/annotation/graph.cpp
  worker/annotation/theme_manager.cpp
  worker/colorpicker/color_capture_wnd.cpp
  worker/image_output.cpp
  worker/result_sender.cpp
  worker/worker_app.cpp
)
