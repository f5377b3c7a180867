# The MIDI link's windows and its Qt scheduler. Headers are listed so that
# AUTOMOC finds their Q_OBJECT.
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/QtScheduler.h
  ${CMAKE_CURRENT_LIST_DIR}/QtScheduler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmSysExReceiver.h
  ${CMAKE_CURRENT_LIST_DIR}/TfrmSysExReceiver.cpp
)
