target_sources(tarvix-cli PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ParamsCommand.cpp)
