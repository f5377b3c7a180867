tarvix_add_gtest(test_tools_dialogs
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ParameterListViewTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialogs_main.cpp
  LIBS tarvix_gui Qt6::Test)
