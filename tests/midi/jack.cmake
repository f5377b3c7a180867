# The JACK backend on the private server. Not a test of its own outside the
# fixture: without the server it would only fail.
if(TARVIX_HAVE_JACK)
  pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
  add_executable(test_midi_jack ${CMAKE_CURRENT_LIST_DIR}/JackMidiTest.cpp)
  target_link_libraries(test_midi_jack PRIVATE tarvix_midi_rtmidi PkgConfig::JACK GTest::gtest_main)
  target_include_directories(test_midi_jack PRIVATE ${CMAKE_SOURCE_DIR})
  add_test(NAME midi_jack_backend COMMAND test_midi_jack)
  set_tests_properties(midi_jack_backend PROPERTIES FIXTURES_REQUIRED jack TIMEOUT 120 ENVIRONMENT "${TARVIX_JACK_ENV}")
endif()
