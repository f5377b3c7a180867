tarvix_add_gtest(test_cli_convert
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ConvertCommandTest.cpp
  LIBS tarvix_core GTest::gtest_main)
add_dependencies(test_cli_convert tarvix-cli)
