# MIDI file <-> SysEx file converter and the computer keyboard (core parts).
target_sources(tarvix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ByteReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SysexToMidi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SysexAssembler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SmfSysexReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiToSysex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiFileConverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConverterTexts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyboardPlayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyboardRules.cpp
)
