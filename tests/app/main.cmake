# The main window's tests run as two CTest tests, so that CTest spreads the
# window tests over two cores.
tarvix_add_gtest(test_app_main
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp ${CMAKE_CURRENT_LIST_DIR}/HelpAndFirstRunTest.cpp
  LIBS tarvix_gui Qt6::Test SHARDS 2 COST 25)
set_target_properties(test_app_main PROPERTIES AUTOMOC ON)
tarvix_add_gtest(test_app_library
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LibraryWindowTest.cpp ${CMAKE_CURRENT_LIST_DIR}/UndoWindowTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp
  LIBS tarvix_gui Qt6::Test COST 25)
set_target_properties(test_app_library PROPERTIES AUTOMOC ON)
