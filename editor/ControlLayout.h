#pragma once
// Which effect and arpeggiator controls are shown, and with which caption.
// Byte 135 (effect 1 type) and byte 151 (effect 2 type) decide what the
// effect parameter controls mean; the arpeggiator's step controls only
// matter for the "User" pattern (byte 319 = 1). Every other control of the
// map is always shown and keeps its caption.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "library/SoundData.h"

namespace tarvix {

struct LayoutItem {
  std::size_t control;                 // index into the parameter map
  bool visible;
  std::optional<std::string> caption;  // nullopt: keep the current caption
};

class ControlLayout {
 public:
  // Types outside a list (effect 1 above 5, effect 2 above 8) show nothing.
  static ControlLayout For(int effect1Type, int effect2Type, int arpPattern);
  // From the type and pattern bytes of a sound.
  static ControlLayout For(const SoundData& sound);

  // Every control the layout manages, with its state.
  const std::vector<LayoutItem>& Items() const { return items_; }
  // Controls the layout does not manage are always visible.
  bool IsVisible(std::size_t control) const;
  std::optional<std::string> Caption(std::size_t control) const;

 private:
  std::vector<LayoutItem> items_;
  std::vector<int> slot_;  // control index -> position in items_, -1 if unmanaged
};

// Guard of the layout routine: a layout pass started while another runs
// (a control event fired by the layout itself) does nothing.
class LayoutGuard {
 public:
  // Scope s(guard); if (!s) return;  -- set on entry, cleared on exit.
  class Scope {
   public:
    explicit Scope(LayoutGuard& g) : g_(g), entered_(!g.active_) { if (entered_) g_.active_ = true; }
    ~Scope() { if (entered_) g_.active_ = false; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    explicit operator bool() const { return entered_; }

   private:
    LayoutGuard& g_;
    bool entered_;
  };
  bool Active() const { return active_; }

 private:
  bool active_ = false;
};

}  // namespace tarvix
