add_executable(bench_midi ${CMAKE_CURRENT_LIST_DIR}/MidiBench.cpp)
target_link_libraries(bench_midi PRIVATE tarvix_core benchmark::benchmark_main)
