# Benchmarks: Windows programs that print figures, run by the scripts beside them.
add_executable(capture_bench WIN32 bench/capture_bench.cpp)
kestrow_program(capture_bench)
target_link_libraries(capture_bench PRIVATE worker_core psapi)
set_target_properties(capture_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
