tarvix_add_gtest(test_editor_schema
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SchemaTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/RandomizerTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/EnvelopeShapeTest.cpp
  LIBS tarvix_core GTest::gtest_main)
