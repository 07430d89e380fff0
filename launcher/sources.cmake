# KestrowCapture.exe. Platform-free code first, then Win32 code (the entry point is
# added by launcher/programs.cmake so the Windows tests can link everything else).
list(APPEND KESTROW_LOGIC_SOURCES
  launcher/autorun_path.cpp
  launcher/config_keys.cpp
  launcher/hotkey_code.cpp
  launcher/launcher_tasks.cpp
  launcher/online/json_object.cpp
  launcher/online/online_rules.cpp
  launcher/online/update_info.cpp
  launcher/result_reaction.cpp
  launcher/toast_fade.cpp
)

# The dialog base and the message loop with filters serve pagegrab as well.
list(APPEND COMMON_WIN_SOURCES
  common/win/dialog.cpp
  common/win/message_loop.cpp
)

set(LAUNCHER_WIN_SOURCES
  launcher/app_config.cpp
  launcher/app_paths.cpp
  launcher/ipc_wnd.cpp
  launcher/launcher_app.cpp
  launcher/main_dlg.cpp
  launcher/process_launcher.cpp
  launcher/toast_wnd.cpp
  launcher/tray_icon.cpp
  launcher/online/about_dlg.cpp
  launcher/online/app_statics.cpp
  launcher/online/feedback_dlg.cpp
  launcher/online/pe_file_version.cpp
  launcher/online/process_monitor.cpp
  launcher/online/service_url.cpp
  launcher/online/update_check_thread.cpp
  launcher/online/win_http_client.cpp
  launcher/online/x_thread.cpp
)
