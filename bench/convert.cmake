add_executable(bench_convert ${CMAKE_CURRENT_LIST_DIR}/ConvertBench.cpp)
target_link_libraries(bench_convert PRIVATE tarvix_core benchmark::benchmark_main)
