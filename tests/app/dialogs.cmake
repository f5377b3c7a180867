tarvix_add_gtest(test_app_dialogs
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DialogsTest.cpp
  LIBS tarvix_gui Qt6::Test)
