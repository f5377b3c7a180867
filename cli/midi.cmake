# The MIDI sub-commands: ports, backup, restore, instrument.
target_sources(tarvix-cli PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MidiSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PortsCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BackupCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RestoreCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstrumentCommand.cpp
)
target_link_libraries(tarvix-cli PRIVATE tarvix_midi_rtmidi)
