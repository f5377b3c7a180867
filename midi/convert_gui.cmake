# Windows of the converter and the computer keyboard.
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMidiSysexConverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HeldKeyTracker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyboardPanel.cpp
)
