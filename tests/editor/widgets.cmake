tarvix_add_gtest(test_editor_widgets
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ControlWidgetsTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp
  LIBS tarvix_gui Qt6::Test)
