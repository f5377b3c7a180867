# Headers are listed so that moc sees the Q_OBJECT windows.
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMorph.h
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMorph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmLocker.h
  ${CMAKE_CURRENT_LIST_DIR}/TfrmLocker.cpp
)
