target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ControlImages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptionLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TKnob.h
  ${CMAKE_CURRENT_LIST_DIR}/TKnob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TCheckLed.h
  ${CMAKE_CURRENT_LIST_DIR}/TCheckLed.cpp
)
