tarvix_add_gtest(test_controls
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ControlsTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp
  LIBS tarvix_gui Qt6::Test)
