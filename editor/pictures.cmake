# Page pictures and the tolerance dialog.
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/EnvelopePicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilterPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LfoPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OscillatorPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PagePictures.h
  ${CMAKE_CURRENT_LIST_DIR}/PictureCanvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmCreateSchemaParameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmCreateSchemaParameters.h
)
