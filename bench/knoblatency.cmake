add_executable(knob_latency ${CMAKE_CURRENT_LIST_DIR}/KnobLatency.cpp)
target_link_libraries(knob_latency PRIVATE tarvix_gui Qt6::Test)
