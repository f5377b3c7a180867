# The sound editor's transfer pass, controller mapping, group commands and
# test notes (core), and the editor window (GUI).
target_sources(tarvix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TransferPass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControllerMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GroupCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TestNotes.cpp
)
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TfrmPatchEdit.h
  ${CMAKE_CURRENT_LIST_DIR}/TfrmPatchEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PatchEditPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PatchEditPictures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PatchEditDialogs.cpp
)
