tarvix_add_gtest(test_tools
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MorphTest.cpp ${CMAKE_CURRENT_LIST_DIR}/LockerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CopySoundsTest.cpp
  LIBS tarvix_core GTest::gtest_main)

tarvix_add_gtest(test_tools_gui
  SOURCES ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp ${CMAKE_CURRENT_LIST_DIR}/ToolsWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ParameterListViewTest.cpp
  LIBS tarvix_gui Qt6::Test)
