tarvix_add_gtest(test_cli
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CommandsTest.cpp
  LIBS tarvix_core nlohmann_json::nlohmann_json GTest::gtest_main)
add_dependencies(test_cli tarvix-cli)
