tarvix_add_gtest(test_settings
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsTest.cpp
  LIBS tarvix_core GTest::gtest_main)
