tarvix_add_gtest(test_midi
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MessagesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DispatcherTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiServiceTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VirtualInstrumentTest.cpp
  LIBS tarvix_core GTest::gtest_main)
