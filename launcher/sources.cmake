# KestrowCapture.exe. Platform-free code first, then Win32 code (the entry point is
# added by launcher/programs.cmake so the Windows tests can link everything else).
list(APPEND KESTROW_LOGIC_SOURCES
  launcher/autorun_path.cpp
  launcher/config_keys.cpp
  launcher/hotkey_code.cpp
  launcher/launcher_tasks.cpp
  launcher/result_reaction.cpp
  launcher/setting_logic.cpp
  launcher/startup_flight.cpp
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
  launcher/hotkey_registration.cpp
  launcher/ipc_wnd.cpp
  launcher/launcher_app.cpp
  launcher/main_dlg.cpp
  launcher/process_launcher.cpp
  launcher/setting_dlg.cpp
  launcher/startup_wnd.cpp
  launcher/toast_wnd.cpp
  launcher/tray_icon.cpp
  launcher/online/process_monitor.cpp
  launcher/online/x_thread.cpp
)
