# Two programs, so that CTest runs the window tests on two cores.
tarvix_add_gtest(test_app_main
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp ${CMAKE_CURRENT_LIST_DIR}/HelpAndFirstRunTest.cpp
  LIBS tarvix_gui Qt6::Test)
set_target_properties(test_app_main PROPERTIES AUTOMOC ON)
tarvix_add_gtest(test_app_library
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LibraryWindowTest.cpp ${CMAKE_CURRENT_LIST_DIR}/UndoWindowTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp
  LIBS tarvix_gui Qt6::Test)
set_target_properties(test_app_library PROPERTIES AUTOMOC ON)
