target_sources(tarvix-cli PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ConvertCommand.cpp)
