# pagegrab.exe. Platform-free code first, then Win32 code (the entry point is added by
# pagegrab/programs.cmake so the Windows tests can link everything else).
list(APPEND KESTROW_LOGIC_SOURCES
  pagegrab/web_capture_logic.cpp
)

# The ActiveX control container belongs with the window framework.
list(APPEND COMMON_WIN_SOURCES
  common/win/ax_host.cpp
  common/win/dialog.cpp
  common/win/message_loop.cpp
)
list(REMOVE_DUPLICATES COMMON_WIN_SOURCES)

set(PAGEGRAB_WIN_SOURCES
  pagegrab/page_bitmap.cpp
  pagegrab/main_dlg.cpp
  pagegrab/kestrow_browser_view.cpp
  pagegrab/pagegrab_app.cpp
)
