add_executable(tarvix ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(tarvix PRIVATE tarvix_gui)
set_target_properties(tarvix PROPERTIES AUTOMOC ON)

add_executable(tarvix-make-initsound ${CMAKE_SOURCE_DIR}/resources/make_initsound.cpp)
target_link_libraries(tarvix-make-initsound PRIVATE tarvix_core)

target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/QtPrompter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BankListModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BankListView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMainLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMainCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMainMidi.cpp
)
target_link_libraries(tarvix_gui PUBLIC tarvix_midi_rtmidi)
