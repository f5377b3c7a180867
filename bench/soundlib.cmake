add_executable(bench_soundlib ${CMAKE_CURRENT_LIST_DIR}/SoundLibraryBench.cpp)
target_include_directories(bench_soundlib PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_soundlib PRIVATE -Wno-missing-field-initializers)
target_link_libraries(bench_soundlib PRIVATE tarvix_soundlib benchmark::benchmark benchmark::benchmark_main)
