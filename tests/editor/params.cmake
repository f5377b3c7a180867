tarvix_add_gtest(test_editor_params
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ParameterMapTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CaptionFormatTest.cpp
  LIBS tarvix_core GTest::gtest_main)
