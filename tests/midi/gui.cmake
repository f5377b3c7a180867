tarvix_add_gtest(test_midi_gui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SysExReceiverWindowTest.cpp
  LIBS tarvix_gui Qt6::Test)
