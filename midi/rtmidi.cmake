# The platform MIDI backend (ALSA through RtMidi, JACK through libjack): its
# own library so the core and its tests link no platform MIDI. The window
# program and the command-line tool link it.
pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
add_library(tarvix_midi_rtmidi STATIC
  ${CMAKE_CURRENT_LIST_DIR}/RtMidiDriver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JackMidi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstrumentPorts.cpp)
target_link_libraries(tarvix_midi_rtmidi PUBLIC tarvix_core PRIVATE PkgConfig::RTMIDI PkgConfig::JACK)
