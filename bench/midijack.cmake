# Needs libjack for the server's period; built only where it is found.
pkg_check_modules(JACK IMPORTED_TARGET jack)
if(JACK_FOUND)
  add_executable(bench_midi_jack ${CMAKE_CURRENT_LIST_DIR}/MidiJackBench.cpp)
  target_link_libraries(bench_midi_jack PRIVATE tarvix_midi_rtmidi PkgConfig::JACK benchmark::benchmark_main)
endif()
