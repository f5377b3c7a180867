# Schemas, randomizers, init commands and the geometry of the page pictures.
target_sources(tarvix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ControlTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EnvelopeShape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InitCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Randomizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SchemaEntryList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundFamilySchema.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Tolerances.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveCurves.cpp
)
target_link_libraries(tarvix_core PUBLIC PkgConfig::SIMPLEINI)
