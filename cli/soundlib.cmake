target_sources(tarvix-cli PRIVATE ${CMAKE_CURRENT_LIST_DIR}/LibraryCommand.cpp)
target_link_libraries(tarvix-cli PRIVATE tarvix_soundlib)
