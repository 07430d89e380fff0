# Compile options shared by every target of ours (not third-party code).
set(KESTROW_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
option(KESTROW_WERROR "Treat warnings in our code as errors" OFF)
if(KESTROW_WERROR)
  list(APPEND KESTROW_WARNINGS -Werror)
endif()

# Our warnings on a target; include paths come from kestrow_common_logic's usage
# requirements, which every target links.
function(kestrow_target target)
  target_compile_options(${target} PRIVATE ${KESTROW_WARNINGS})
endfunction()

# A platform-free library: built natively for the unit tests and cross for the programs.
function(kestrow_logic_library name)
  add_library(${name} STATIC ${ARGN})
  kestrow_target(${name})
  target_link_libraries(${name} PUBLIC kestrow_common_logic)
endfunction()

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest package)")
