tarvix_add_gtest(test_editor_pictures
  SOURCES ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp
          ${CMAKE_CURRENT_LIST_DIR}/PicturesTest.cpp
  LIBS tarvix_gui Qt6::Test)
