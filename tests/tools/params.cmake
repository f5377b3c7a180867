tarvix_add_gtest(test_tools_paramdialogs
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ParameterListViewTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp
  LIBS tarvix_gui Qt6::Test)
