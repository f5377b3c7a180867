tarvix_add_gtest(test_library
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SoundDataTest.cpp
  LIBS tarvix_core GTest::gtest_main)
