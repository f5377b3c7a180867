add_executable(bench_library ${CMAKE_CURRENT_LIST_DIR}/LibraryBench.cpp ${CMAKE_CURRENT_LIST_DIR}/HistoryBench.cpp)
target_link_libraries(bench_library PRIVATE tarvix_core benchmark::benchmark benchmark::benchmark_main)
