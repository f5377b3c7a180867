tarvix_add_gtest(test_app_main
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp ${CMAKE_CURRENT_LIST_DIR}/TransfersWindowTest.cpp
  LIBS tarvix_gui Qt6::Test)
