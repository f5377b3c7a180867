tarvix_add_gtest(test_tools
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ToolsTest.cpp
  LIBS tarvix_core GTest::gtest_main)

tarvix_add_gtest(test_tools_gui
  SOURCES ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp ${CMAKE_CURRENT_LIST_DIR}/ToolsWindowTest.cpp
  LIBS tarvix_gui Qt6::Test)
