# Worker.exe. Platform-free code first, then Win32 code (the entry point is added
# by cmake/windows.cmake so the Windows tests can link everything else).
list(APPEND KESTROW_LOGIC_SOURCES
  worker/annotation/annotation_layout.cpp
  worker/colorpicker/color_picker_layout.cpp
  worker/annotation/graph_geometry.cpp
  worker/save_naming.cpp
  worker/task_options.cpp
  worker/selection_geometry.cpp
  worker/overlay_state.cpp
  worker/window_rects.cpp
  worker/magnifier_layout.cpp
  worker/dimming.cpp
  worker/toolbar/toolbar_layout.cpp
  common/theme_faces.cpp
)

set(WORKER_WIN_SOURCES
  worker/annotation/graph.cpp
  worker/colorpicker/color_capture_wnd.cpp
  worker/image_output.cpp
  worker/capture_output.cpp
  worker/result_sender.cpp
  worker/worker_app.cpp
  worker/screen_capture_wnd.cpp
  worker/selection_tracker.cpp
  worker/window_tracker.cpp
  worker/magnifier.cpp
  worker/toolbar/x_toolbar.cpp
  worker/toolbar/x_tooltip_ctrl.cpp
  worker/toolbar/toolbar_wnd.cpp
  worker/annotation/graph_manager.cpp
  worker/annotation/color_select_pane.cpp
)

# PNG resources into GDI+ bitmaps (the launcher's splash uses it too), and the
# standard font of small information texts.
list(APPEND COMMON_WIN_SOURCES common/res_reader.cpp common/theme_manager.cpp common/win/dialog.cpp)
list(REMOVE_DUPLICATES COMMON_WIN_SOURCES)
