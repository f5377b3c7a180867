tarvix_add_gtest(test_cli_params
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ParamsCommandTest.cpp
  LIBS tarvix_core nlohmann_json::nlohmann_json GTest::gtest_main)
add_dependencies(test_cli_params tarvix-cli)
