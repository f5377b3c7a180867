tarvix_add_gtest(test_tools_copysounds
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CopySoundsTest.cpp
  LIBS tarvix_core GTest::gtest_main)
tarvix_add_gtest(test_tools_dialogs
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DialogsTest.cpp
  LIBS tarvix_gui Qt6::Test)
