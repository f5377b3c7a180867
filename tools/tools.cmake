target_sources(tarvix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ParameterSend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SingleSoundFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Morph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LockerTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParameterLocker.cpp
)
