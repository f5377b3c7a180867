# The main window adds loaded files and read sounds to the sound library;
# the Library window shows it.
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMainLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMainLibraryWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LibrarySearch.h ${CMAKE_CURRENT_LIST_DIR}/LibrarySearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LibraryListModel.h ${CMAKE_CURRENT_LIST_DIR}/LibraryListModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmLibrary.h ${CMAKE_CURRENT_LIST_DIR}/TfrmLibrary.cpp
)
target_link_libraries(tarvix_gui PUBLIC tarvix_soundlib)
