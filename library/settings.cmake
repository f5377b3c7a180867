target_sources(tarvix_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp)
target_link_libraries(tarvix_core PUBLIC PkgConfig::SIMPLEINI)
