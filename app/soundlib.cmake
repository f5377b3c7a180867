# The main window adds loaded files and read sounds to the sound library.
target_sources(tarvix_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TfrmMainLibrary.cpp)
target_link_libraries(tarvix_gui PUBLIC tarvix_soundlib)
