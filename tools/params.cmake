target_sources(tarvix_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TickMask.cpp)
target_sources(tarvix_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TfrmParameterListView.h
  ${CMAKE_CURRENT_LIST_DIR}/TfrmParameterListView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmSelectLocation.h
  ${CMAKE_CURRENT_LIST_DIR}/TfrmSelectLocation.cpp
)
