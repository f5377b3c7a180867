add_executable(tarvix-cli
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SortCommand.cpp
)
target_link_libraries(tarvix-cli PRIVATE tarvix_core CLI11::CLI11 nlohmann_json::nlohmann_json)
