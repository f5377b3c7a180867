#pragma once
// The editor's transfer pass: turns the editor's control state into the
// bytes of the edited sound and sends one parameter change for every byte
// that differs from the bytes before the pass, in ascending order.
//
// Bytes that arrived from the instrument as controller messages are written
// into the sound but never sent back (the instrument already has them),
// while the user's own changes of the same period are always sent. So the
// pass remembers, per offset, which changes came from the instrument since
// the last pass, instead of switching the whole next pass off.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "editor/ControlLayout.h"
#include "editor/ControlState.h"
#include "library/SoundData.h"

namespace tarvix {

class TransferPass {
 public:
  // Sends one parameter change (parameter = offset - 7, value 0..127).
  using SendParameter = std::function<void(int parameter, std::uint8_t value)>;
  // The pause between two messages; the instrument drops parameter changes
  // that arrive back to back. Tests and benchmarks pass an empty function.
  using Pause = std::function<void()>;
  static void SleepOneMillisecond();

  explicit TransferPass(const SoundData& sound, SendParameter send, Pause pause = &SleepOneMillisecond);

  SoundData EditSound;
  // The instrument's view of the sound before the last pass (the sound as
  // opened, then each pass's CompareSound).
  SoundData PreviousSound;
  SoundData CompareSound;   // EditSound as the last pass wrote it

  // Number of sample names appended to the oscillator shape lists.
  int SampleCount = 0;

  // The control was just set from a controller message: its byte(s) are
  // written by the next pass but not sent.
  void MarkFromInstrument(std::size_t control);
  // The user changed the control: its byte(s) are sent even if a controller
  // message set the same control earlier in this period.
  void MarkFromUser(std::size_t control);
  // The category goes into EditSound at once, so no pass ever sends it.
  void SetCategory(std::uint8_t category);
  // Whether the next pass would hold back the byte at this offset.
  bool HeldBack(int offset) const;

  // Writes the name and every control into EditSound, then sends the
  // differing bytes. Returns the number of messages sent. Invalid state
  // (wrong number of values) throws before anything is changed or sent.
  int ApplyControlsToSound(const ControlState& state);
  // EditSound as the next pass would write it from this state, without
  // writing or sending anything.
  SoundData Preview(const ControlState& state) const;

  // The effect and arpeggiator layout that belongs to EditSound as it is.
  ControlLayout Layout() const { return ControlLayout::For(EditSound); }

 private:
  void Mark(std::size_t control, bool fromInstrument);
  void WriteInto(const ControlState& state, SoundData& sound) const;

  SendParameter send_;
  Pause pause_;
  std::vector<bool> heldBack_;  // per offset: last set by the instrument
};

}  // namespace tarvix
