tarvix_add_gtest(test_midi
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MessagesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DispatcherTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiServiceTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VirtualInstrumentTest.cpp
  LIBS tarvix_core GTest::gtest_main)

# MIDI across a real transport: a private JACK server (dummy backend) as a
# CTest fixture, the command-line instrument in one process and a backup in
# another.
find_program(TARVIX_JACKD jackd)
find_program(TARVIX_JACK_WAIT jack_wait)
if(TARVIX_JACKD AND TARVIX_JACK_WAIT)
  string(MD5 _jack_hash "${CMAKE_BINARY_DIR}")
  string(SUBSTRING "${_jack_hash}" 0 8 _jack_hash)
  set(_jack_name "tarvix_${_jack_hash}")
  set(_jack_state "${CMAKE_BINARY_DIR}/jack-test")
  add_test(NAME midi_jack_start COMMAND ${CMAKE_SOURCE_DIR}/tests/support/jack_start.sh ${_jack_name} ${_jack_state})
  add_test(NAME midi_jack_stop COMMAND ${CMAKE_SOURCE_DIR}/tests/support/jack_stop.sh ${_jack_name} ${_jack_state})
  add_test(NAME midi_jack_backup
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/jack_backup_test.sh $<TARGET_FILE:tarvix-cli> ${_jack_state})
  set_tests_properties(midi_jack_start PROPERTIES FIXTURES_SETUP jack)
  set_tests_properties(midi_jack_stop PROPERTIES FIXTURES_CLEANUP jack)
  set_tests_properties(midi_jack_backup PROPERTIES FIXTURES_REQUIRED jack TIMEOUT 120
    ENVIRONMENT "JACK_DEFAULT_SERVER=${_jack_name};JACK_NO_START_SERVER=1;TSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/tsan.supp")
endif()
