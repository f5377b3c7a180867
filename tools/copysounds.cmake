target_sources(tarvix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ProgramEntries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CopySounds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Locator.cpp
)
# Headers are listed so that AUTOMOC sees every Q_OBJECT class.
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TfrmCopySounds.h ${CMAKE_CURRENT_LIST_DIR}/TfrmCopySounds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmLocator.h ${CMAKE_CURRENT_LIST_DIR}/TfrmLocator.cpp
)
