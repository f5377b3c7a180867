# The main window against an instrument on the private JACK server. Not a
# test of its own outside the fixture: without the server it would only skip.
if(TARVIX_HAVE_JACK)
  add_executable(test_app_jack
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowJackTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp)
  target_link_libraries(test_app_jack PRIVATE tarvix_gui tarvix_midi_rtmidi Qt6::Test GTest::gtest)
  target_include_directories(test_app_jack PRIVATE ${CMAKE_SOURCE_DIR})
  add_test(NAME app_jack_main_window COMMAND test_app_jack)
  set_tests_properties(app_jack_main_window PROPERTIES FIXTURES_REQUIRED jack TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${TARVIX_JACK_ENV}")
endif()
