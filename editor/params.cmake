target_sources(tarvix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Vocabulary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptionFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParameterMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlState.cpp
)
