tarvix_add_gtest(test_cli_morph
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MorphCommandTest.cpp
  LIBS tarvix_core GTest::gtest_main)
add_dependencies(test_cli_morph tarvix-cli)
