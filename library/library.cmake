target_sources(tarvix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SoundData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fingerprint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Duplicates.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BankSet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BankOperations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SortFind.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AtomicFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InitSound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RandomSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppPaths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/History.cpp
)
