# pagegrab.exe. Platform-free code first, then Win32 code (the entry point is added by
# pagegrab/programs.cmake so the Windows tests can link everything else).
list(APPEND KESTROW_LOGIC_SOURCES
  pagegrab/web_capture_logic.cpp
)

set(PAGEGRAB_WIN_SOURCES
)
