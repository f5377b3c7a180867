# The Library window and the main window's side of the sound library.
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LibrarySearch.h ${CMAKE_CURRENT_LIST_DIR}/LibrarySearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LibraryListModel.h ${CMAKE_CURRENT_LIST_DIR}/LibraryListModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmLibrary.h ${CMAKE_CURRENT_LIST_DIR}/TfrmLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMainLibrary.cpp
)
target_link_libraries(tarvix_gui PUBLIC tarvix_soundlib)
