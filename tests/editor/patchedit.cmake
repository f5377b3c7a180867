tarvix_add_gtest(test_editor_patchedit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TransferPassTest.cpp
  LIBS tarvix_core GTest::gtest_main)
tarvix_add_gtest(test_editor_patchedit_window
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PatchEditWindowTest.cpp
  LIBS tarvix_gui Qt6::Test COST 20)
