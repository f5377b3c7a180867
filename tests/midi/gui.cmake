tarvix_add_gtest(test_midi_gui
  SOURCES
    ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiWindowsTest.cpp
  LIBS tarvix_gui Qt6::Test)
