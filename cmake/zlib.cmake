# zlib, for the PNG writer: Debian's zlib1g-dev natively; for Windows libz-mingw-w64-dev,
# whose static library is named by its full path so that no zlib1.dll is ever needed
# beside the programs (the package also ships an import library).
if(WIN32)
  find_path(KESTROW_ZLIB_INCLUDE_DIR zlib.h REQUIRED)
  find_library(KESTROW_ZLIB_LIBRARY NAMES libz.a REQUIRED)
  add_library(kestrow_zlib INTERFACE)
  target_include_directories(kestrow_zlib SYSTEM INTERFACE ${KESTROW_ZLIB_INCLUDE_DIR})
  target_link_libraries(kestrow_zlib INTERFACE ${KESTROW_ZLIB_LIBRARY})
else()
  find_package(ZLIB REQUIRED)
  add_library(kestrow_zlib INTERFACE)
  target_link_libraries(kestrow_zlib INTERFACE ZLIB::ZLIB)
endif()
