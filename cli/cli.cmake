add_executable(tarvix-cli ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(tarvix-cli PRIVATE tarvix_core CLI11::CLI11 nlohmann_json::nlohmann_json)
