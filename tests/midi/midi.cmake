tarvix_add_gtest(test_midi
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MessagesAndServiceTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DispatcherTest.cpp
  LIBS tarvix_core GTest::gtest_main)

# The command-line instrument in one process and a backup in another,
# across the private JACK server. It runs alone: with the other tests busy on
# every core, the clients miss their periods and the server drops events.
if(TARVIX_HAVE_JACK)
  add_test(NAME midi_jack_backup
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/jack_backup_test.sh $<TARGET_FILE:tarvix-cli> ${TARVIX_JACK_STATE})
  set_tests_properties(midi_jack_backup PROPERTIES FIXTURES_REQUIRED jack RUN_SERIAL ON TIMEOUT 300 ENVIRONMENT "${TARVIX_JACK_ENV}")
endif()
