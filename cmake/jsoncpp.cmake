# JsonCpp, the one third-party library (the update manifest): Debian's libjsoncpp-dev
# natively; for Windows the same version's sources, fetched by scripts/fetch_jsoncpp.sh
# into third_party/jsoncpp, built here without our warning flags.
if(WIN32)
  set(JSONCPP_DIR ${PROJECT_SOURCE_DIR}/third_party/jsoncpp)
  if(NOT EXISTS ${JSONCPP_DIR}/src/lib_json/json_reader.cpp)
    message(FATAL_ERROR "JsonCpp sources missing: run scripts/setup.sh")
  endif()
  add_library(kestrow_jsoncpp STATIC ${JSONCPP_DIR}/src/lib_json/json_reader.cpp
    ${JSONCPP_DIR}/src/lib_json/json_value.cpp ${JSONCPP_DIR}/src/lib_json/json_writer.cpp)
  target_include_directories(kestrow_jsoncpp SYSTEM PUBLIC ${JSONCPP_DIR}/include)
else()
  find_path(JSONCPP_INCLUDE_DIR json/json.h PATH_SUFFIXES jsoncpp REQUIRED)
  find_library(JSONCPP_LIBRARY jsoncpp REQUIRED)
  add_library(kestrow_jsoncpp INTERFACE)
  target_include_directories(kestrow_jsoncpp SYSTEM INTERFACE ${JSONCPP_INCLUDE_DIR})
  target_link_libraries(kestrow_jsoncpp INTERFACE ${JSONCPP_LIBRARY})
endif()
