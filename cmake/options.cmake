# Compile options shared by every target of ours (not third-party code).
set(KESTROW_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
option(KESTROW_WERROR "Treat warnings in our code as errors" OFF)
if(KESTROW_WERROR)
  list(APPEND KESTROW_WARNINGS -Werror)
endif()

function(kestrow_target target)
  target_compile_options(${target} PRIVATE ${KESTROW_WARNINGS})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest package)")
