tarvix_add_gtest(test_convert
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ConverterTest.cpp
  LIBS tarvix_core GTest::gtest_main)
tarvix_add_gtest(test_keyboard
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/KeyboardPlayerTest.cpp
  LIBS tarvix_core GTest::gtest_main)
