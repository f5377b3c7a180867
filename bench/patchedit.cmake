add_executable(bench_patchedit ${CMAKE_CURRENT_LIST_DIR}/PatchEditBench.cpp)
target_link_libraries(bench_patchedit PRIVATE tarvix_core benchmark::benchmark_main)
target_include_directories(bench_patchedit PRIVATE ${CMAKE_SOURCE_DIR})
