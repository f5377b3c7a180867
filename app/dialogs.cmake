# Headers are listed so that AUTOMOC sees every Q_OBJECT class.
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TfrmSettings.h ${CMAKE_CURRENT_LIST_DIR}/TfrmSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmWBSettings.h ${CMAKE_CURRENT_LIST_DIR}/TfrmWBSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmFind.h ${CMAKE_CURRENT_LIST_DIR}/TfrmFind.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmDuplicates.h ${CMAKE_CURRENT_LIST_DIR}/TfrmDuplicates.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmPatchEditSimple.h ${CMAKE_CURRENT_LIST_DIR}/TfrmPatchEditSimple.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmHelp.h ${CMAKE_CURRENT_LIST_DIR}/TfrmHelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmCopyPatch.h ${CMAKE_CURRENT_LIST_DIR}/TfrmCopyPatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HelpText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HelpLinks.cpp
)
