add_executable(library_typing ${CMAKE_CURRENT_LIST_DIR}/LibraryTyping.cpp)
target_link_libraries(library_typing PRIVATE tarvix_gui Qt6::Test)
add_executable(library_window_shot ${CMAKE_CURRENT_LIST_DIR}/LibraryWindowShot.cpp)
target_link_libraries(library_window_shot PRIVATE tarvix_gui Qt6::Test)
