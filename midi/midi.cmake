# The MIDI link's core: messages, port layer, receive dispatch, the virtual
# instrument and the schedulers that run it without a window.
target_sources(tarvix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/BankReadJob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChannelMessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EventLoop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FetchJobs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlobalData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ManualScheduler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiAssembler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiService.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PartsTree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReceiveDispatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RequestStack.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SendJobs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SysExMessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TransferJob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TransferQueue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VirtualInstrument.cpp
)
