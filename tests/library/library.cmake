tarvix_add_gtest(test_library
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SoundDataTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BankOperationsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HistoryTest.cpp
  LIBS tarvix_core GTest::gtest_main)
